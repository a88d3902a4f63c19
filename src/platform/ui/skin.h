#pragma once

#include "platform/runerror.h"

#include <QString>

class QWidget;

namespace kl {

// The skin control of the program's windows. A skin is a Qt style sheet;
// the module's skin numbers and file names stay as they are.
class SkinFramework {
  public:
    // ApplyOptions bit: the skin also dresses every other window of the
    // program (message boxes, dialogs), not only the skinned one.
    static constexpr int ApplyToApplication = 1;

    // Reads a skin: `path` is the style-sheet file, or the folder that holds
    // it when `iniName` names the file inside. A missing or unreadable file,
    // or one that is no style sheet, is a failure and keeps the skin loaded
    // before.
    StepResult LoadSkin(const QString& path, const QString& iniName = QString());
    // Gives the window the loaded skin; under the same program-wide skin the
    // window keeps no sheet of its own, it wears the program's.
    void ApplyWindow(QWidget& window);

    int ApplyOptions() const { return options_; }
    void SetApplyOptions(int options);

    const QString& styleSheet() const { return styleSheet_; }

  private:
    QString styleSheet_;
    int options_ = 0;
};

}  // namespace kl
