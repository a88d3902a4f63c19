#include "platform/ui/spanish_file_dialog.h"

#include <QAction>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QToolButton>

namespace kl {

namespace {

// The file system model's columns.
enum Columna { Nombre, Tamano, Tipo, Fecha };

class ColumnasEnCastellano : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() == Nombre)
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        switch (index.column()) {
            case Tamano:
                return info.isDir() ? QString()
                                    : QLocale().formattedDataSize(
                                          info.size(), 0, QLocale::DataSizeTraditionalFormat);
            case Tipo:
                if (info.isDir()) return QStringLiteral("Carpeta");
                if (info.suffix().isEmpty()) return QStringLiteral("Archivo");
                return QStringLiteral("Archivo %1").arg(info.suffix().toUpper());
            case Fecha:
                return info.lastModified().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
            default:
                return QIdentityProxyModel::data(index, role);
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QIdentityProxyModel::headerData(section, orientation, role);
        switch (section) {
            case Nombre:
                return QStringLiteral("Nombre");
            case Tamano:
                return QStringLiteral("Tamaño");
            case Tipo:
                return QStringLiteral("Tipo");
            case Fecha:
                return QStringLiteral("Fecha de modificación");
            default:
                return QIdentityProxyModel::headerData(section, orientation, role);
        }
    }
};

// Qt's own objects inside the dialog, by the names Qt gives them.
struct TextoDe {
    const char* objeto;
    const char* texto;
};

constexpr TextoDe kAcciones[] = {
    {"qt_rename_action", "Cambiar &nombre"},
    {"qt_delete_action", "&Eliminar"},
    {"qt_show_hidden_action", "Mostrar archivos &ocultos"},
    {"qt_new_folder_action", "&Nueva carpeta"},
};

constexpr TextoDe kBotones[] = {
    {"backButton", "Atrás"},
    {"forwardButton", "Adelante"},
    {"toParentButton", "Subir un nivel"},
    {"newFolderButton", "Crear nueva carpeta"},
    {"listModeButton", "Lista"},
    {"detailModeButton", "Detalles"},
};

}  // namespace

SpanishFileDialog::SpanishFileDialog(QWidget* parent, const QString& title, const QString& folder)
    : QFileDialog(parent, title, folder) {
    setOption(QFileDialog::DontUseNativeDialog);
    // Before the texts: a change of mode puts Qt's own back.
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
    setLabelText(QFileDialog::FileName, QStringLiteral("Nombre de archivo:"));
    setLabelText(QFileDialog::FileType, QStringLiteral("Tipo de archivo:"));
    setLabelText(QFileDialog::Accept, QStringLiteral("&Abrir"));
    setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    for (const TextoDe& accion : kAcciones) {
        if (auto* action = findChild<QAction*>(QLatin1String(accion.objeto)))
            action->setText(QString::fromUtf8(accion.texto));
    }
    for (const TextoDe& boton : kBotones) {
        if (auto* button = findChild<QToolButton*>(QLatin1String(boton.objeto))) {
            button->setToolTip(QString::fromUtf8(boton.texto));
            button->setAccessibleName(QString::fromUtf8(boton.texto));
        }
    }
    setProxyModel(new ColumnasEnCastellano(this));
}

}  // namespace kl
