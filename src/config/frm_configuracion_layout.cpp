#include "config/frm_configuracion.h"

#include "config/controles_enlazados.h"
#include "config/filtro_teclas.h"
#include "platform/ui/accessible_check_box.h"
#include "platform/ui/fitted_image.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QVariant>

#include <algorithm>

namespace kl {

using config::ControlEnlazado;
using config::Pestana;
using config::PestanaInterna;
using config::TipoControl;

// Lays the bound controls out from their table: each page holds its loose
// controls first and then one box per frame, in the order the table first
// names them, so the focus order and the reading order agree.
class frmConfiguracion::Constructor {
  public:
    explicit Constructor(frmConfiguracion& window) : w_(window) {}

    void construye(QVBoxLayout& raiz) {
        w_.SSpaneles_ = new QTabWidget(&w_);
        w_.SSpaneles_->setObjectName(QStringLiteral("SSpaneles"));
        w_.SSpaneles_->setUsesScrollButtons(false);
        w_.SSpaneles_->setElideMode(Qt::ElideNone);
        for (int i = 0; i < config::kCantidadPestanas; ++i) {
            auto* page = new QWidget;
            page->setObjectName(QStringLiteral("Pestana%1").arg(i));
            new QVBoxLayout(page);
            w_.SSpaneles_->addTab(page, config::captionPestana(static_cast<Pestana>(i)));
        }
        w_.SSTab1_ = new QTabWidget;
        w_.SSTab1_->setObjectName(QStringLiteral("SSTab1"));
        for (PestanaInterna p : {PestanaInterna::IndicesYFechas, PestanaInterna::DatosGenerales}) {
            auto* page = new QWidget;
            new QVBoxLayout(page);
            w_.SSTab1_->addTab(page, config::captionPestanaInterna(p));
        }
        pagina(Pestana::General, PestanaInterna::Ninguna)->layout()->addWidget(w_.SSTab1_);

        auto* sueltos = new QWidget;
        new QVBoxLayout(sueltos);
        sueltos->layout()->setContentsMargins(0, 0, 0, 0);
        raiz.addWidget(sueltos);
        sueltos_ = sueltos;
        raiz.addWidget(w_.SSpaneles_, 1);

        // The controls above the tabs come first in the focus order, as they
        // are read; the tabs' controls follow in the table's order.
        QList<QWidget*> orden;
        QList<QWidget*> enPestanas;
        for (const ControlEnlazado& c : config::controlesEnlazados()) {
            QWidget* widget = crea(c);
            if (!widget) continue;
            w_.widgets_.insert(&c, widget);
            (c.pestana == Pestana::Ninguna ? orden : enPestanas).append(widget);
        }
        orden.append(enPestanas);
        for (qsizetype i = 1; i < orden.size(); ++i) QWidget::setTabOrder(orden[i - 1], orden[i]);
        for (const config::ControlPanelEjercicio& p : config::controlesPanelEjercicio())
            colocaPanel(p);
        for (QWidget* page : paginas_) {
            if (auto* box = qobject_cast<QVBoxLayout*>(page->layout())) box->addStretch(1);
            alineaEtiquetas(marcos_.values(page));
        }
        w_.SSpaneles_->setCurrentIndex(static_cast<int>(config::kPestanaInicial));
        w_.SSTab1_->setCurrentIndex(static_cast<int>(config::kPestanaInternaInicial));
    }

  private:
    QWidget* pagina(Pestana pestana, PestanaInterna interna) {
        QWidget* page = nullptr;
        if (interna != PestanaInterna::Ninguna)
            page = w_.SSTab1_->widget(static_cast<int>(interna));
        else if (pestana != Pestana::Ninguna)
            page = w_.SSpaneles_->widget(static_cast<int>(pestana));
        else
            page = sueltos_;
        if (!paginas_.contains(page)) paginas_.append(page);
        return page;
    }

    // The form layout of a page's frame ("" for the page itself).
    QFormLayout* formulario(QWidget* page, const QString& marco) {
        const QString id = QString::number(reinterpret_cast<quintptr>(page)) + u'|' + marco;
        if (QFormLayout* f = formularios_.value(id)) return f;
        auto* form = new QFormLayout;
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        auto* box = qobject_cast<QVBoxLayout*>(page->layout());
        if (marco.isEmpty()) {
            box->addLayout(form);
        } else {
            auto* group = new QGroupBox(marco);
            group->setLayout(form);
            box->addWidget(group);
            marcos_.insert(page, form);
        }
        formularios_.insert(id, form);
        return form;
    }

    // The frames of one page share their label column, so their boxes start
    // at the same x.
    static void alineaEtiquetas(const QList<QFormLayout*>& forms) {
        QList<QWidget*> labels;
        int width = 0;
        for (QFormLayout* form : forms) {
            for (int row = 0; row < form->rowCount(); ++row) {
                QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole);
                if (!item || !item->widget()) continue;
                labels.append(item->widget());
                width = std::max(width, item->widget()->sizeHint().width());
            }
        }
        for (QWidget* label : labels) label->setMinimumWidth(width);
    }

    QWidget* crea(const ControlEnlazado& c) {
        QFormLayout* form = formulario(pagina(c.pestana, c.pestanaInterna), c.marco);
        QWidget* widget = nullptr;
        switch (c.tipo) {
            case TipoControl::TextBox:
                widget = cuadro(c, *form);
                break;
            case TipoControl::CheckBox:
                widget = casilla(c, *form);
                break;
            case TipoControl::Image:
                widget = imagen(c, *form);
                break;
        }
        widget->setAccessibleName(config::nombreAccesible(c));
        widget->setVisible(c.visible);
        widget->setEnabled(c.habilitado);
        return widget;
    }

    QWidget* cuadro(const ControlEnlazado& c, QFormLayout& form) {
        auto* edit = new QLineEdit;
        edit->setObjectName(QStringLiteral("%1(%2)").arg(c.nombre).arg(c.indice));
        edit->setProperty("DataField", c.dataField);
        edit->setProperty("Tag", c.tag);
        if (c.maxLength > 0) edit->setMaxLength(c.maxLength);
        edit->setText(c.textoDiseno);
        edit->setAlignment(
            (c.alineacion == config::Alineacion::Derecha ? Qt::AlignRight : Qt::AlignLeft) |
            Qt::AlignVCenter);
        edit->setReadOnly(!c.editable);
        if (c.negrita) {
            QFont font = edit->font();
            font.setBold(true);
            edit->setFont(font);
        }
        edit->installEventFilter(&w_);
        // A paste or a drop arrives without a key press per character.
        QObject::connect(edit, &QLineEdit::textEdited, &w_,
                         [&w = w_, edit] { config::FiltraEdicion(*edit, w.soloMayusculas_); });

        // A level's digit count stands beside its name, on the name's row.
        if (c.rolNivel == config::RolNivel::Digitos) {
            if (QHBoxLayout* nivel = filasNivel_.value(c.nivel)) {
                edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(u'0') * 6 + 16);
                nivel->addWidget(edit);
                return edit;
            }
        }
        auto* fila = new QHBoxLayout;
        fila->addWidget(edit, 1);
        if (!c.sufijo.isEmpty()) fila->addWidget(new QLabel(c.sufijo));
        if (!c.boton.isEmpty()) {
            auto* button = new QPushButton(c.captionBoton);
            button->setObjectName(c.boton);
            QObject::connect(button, &QPushButton::clicked, &w_,
                             &frmConfiguracion::CmdBuscarExes_Click);
            fila->addWidget(button);
        }
        if (!c.etiquetaDescripcion.isEmpty()) {
            auto* desc = new QLabel;
            desc->setObjectName(c.etiquetaDescripcion);
            desc->setMinimumWidth(120);
            fila->addWidget(desc, 1);
            if (config::clave(c).compare(u"CONDIVA", Qt::CaseInsensitive) == 0) w_.lblDesc_ = desc;
        }
        agregaFila(c, form, edit, fila);
        if (c.rolNivel == config::RolNivel::Nombre) filasNivel_.insert(c.nivel, fila);
        return edit;
    }

    QWidget* casilla(const ControlEnlazado& c, QFormLayout& form) {
        auto* check = new AccessibleCheckBox(c.textoDiseno.isEmpty() ? c.etiqueta : c.textoDiseno);
        check->setObjectName(c.nombre);
        check->setProperty("DataField", c.dataField);
        check->setProperty("Tag", c.tag);
        // The builder is gone once the window is laid out: the click keeps
        // the window, never the builder.
        QObject::connect(check, &QCheckBox::clicked, &w_,
                         [&w = w_, &c](bool checked) { w.clickCasilla(c, checked ? 1 : 0); });
        if (c.etiqueta.isEmpty() || c.etiqueta == check->text()) {
            form.addRow(check);
        } else {
            auto* label = new QLabel(c.etiqueta);
            label->setBuddy(check);
            form.addRow(label, check);
        }
        return check;
    }

    QWidget* imagen(const ControlEnlazado& c, QFormLayout& form) {
        auto* image = new FittedImage;
        image->setObjectName(c.nombre);
        image->setMinimumSize(160, 100);
        image->setFrameShape(QFrame::Box);
        image->setFocusPolicy(Qt::NoFocus);
        w_.Imagen1_ = image;
        auto* titulo = new QLabel(QStringLiteral("Imagen"));
        titulo->setObjectName(QStringLiteral("lbltitulo(1)"));
        w_.lblTitulo1_ = titulo;
        auto* examinar = new QPushButton(QStringLiteral("&Examinar"));
        examinar->setObjectName(QStringLiteral("CmdExaminar"));
        QObject::connect(examinar, &QPushButton::clicked, &w_,
                         &frmConfiguracion::CmdExaminar_Click);
        auto* quitar = new QPushButton(QStringLiteral("Qui&tar"));
        quitar->setObjectName(QStringLiteral("CmdQuitar"));
        QObject::connect(quitar, &QPushButton::clicked, &w_, &frmConfiguracion::CmdQuitar_Click);
        auto* botones = new QVBoxLayout;
        botones->addWidget(titulo);
        botones->addWidget(examinar);
        botones->addWidget(quitar);
        botones->addStretch(1);
        auto* fila = new QHBoxLayout;
        fila->addWidget(image, 1);
        fila->addLayout(botones);
        agregaFila(c, form, image, fila);
        return image;
    }

    void agregaFila(const ControlEnlazado& c, QFormLayout& form, QWidget* buddy,
                    QHBoxLayout* fila) {
        if (c.etiqueta.isEmpty()) {
            form.addRow(fila);
            return;
        }
        auto* label = new QLabel(c.etiqueta);
        label->setBuddy(buddy);
        form.addRow(label, fila);
    }

    // The fiscal-year panel's own controls. The slider opens disabled: the
    // panel enables it once it knows the years.
    void colocaPanel(const config::ControlPanelEjercicio& p) {
        QFormLayout* form =
            formulario(pagina(Pestana::Ejercicio, PestanaInterna::Ninguna), p.marco);
        QWidget* widget = nullptr;
        if (p.caption.isEmpty()) {
            auto* slider = new QSlider(Qt::Horizontal);
            slider->setTickPosition(QSlider::TicksBelow);
            slider->setPageStep(1);
            // A year is shown once the slider is let go, not at every step
            // it passes while dragged.
            slider->setTracking(false);
            slider->setEnabled(false);
            QObject::connect(slider, &QSlider::valueChanged, &w_,
                             &frmConfiguracion::SldrEjercicio_Change);
            w_.SldrEjercicio_ = slider;
            widget = slider;
        } else {
            auto* button = new QPushButton(p.caption);
            QObject::connect(button, &QPushButton::clicked, &w_, manejador(p.nombre));
            widget = button;
        }
        widget->setObjectName(p.nombre);
        form->addRow(widget);
    }

    using Manejador = void (frmConfiguracion::*)();
    static Manejador manejador(const QString& nombre) {
        if (nombre.compare(u"CmdCerrarEjercicio", Qt::CaseInsensitive) == 0)
            return &frmConfiguracion::CmdCerrarEjercicio_Click;
        if (nombre.compare(u"CmdCrearEjercicio", Qt::CaseInsensitive) == 0)
            return &frmConfiguracion::CmdCrearEjercicio_Click;
        return &frmConfiguracion::CmdAbrirEjercicio_Click;
    }

    frmConfiguracion& w_;
    QWidget* sueltos_ = nullptr;
    QList<QWidget*> paginas_;
    QHash<QString, QFormLayout*> formularios_;
    QMultiHash<QWidget*, QFormLayout*> marcos_;
    QHash<int, QHBoxLayout*> filasNivel_;
};

void frmConfiguracion::construyeControles(QVBoxLayout& raiz) {
    Constructor(*this).construye(raiz);
}

}  // namespace kl
