#pragma once

#include <QDate>
#include <QDialog>

class QCalendarWidget;

namespace kl {

// A month calendar with "&Aceptar" and "&Cancelar"; a double click or Enter
// on a day accepts it.
class DatePickerDialog : public QDialog {
    Q_OBJECT
  public:
    // An invalid date starts on today.
    explicit DatePickerDialog(const QDate& initial, QWidget* parent = nullptr);

    QDate selectedDate() const;
    QCalendarWidget& calendar() { return *calendar_; }

  private:
    void fitsSixWeeks();

    QCalendarWidget* calendar_;
};

}  // namespace kl
