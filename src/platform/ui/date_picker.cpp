#include "platform/ui/date_picker.h"

#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kl {

DatePickerDialog::DatePickerDialog(const QDate& initial, QWidget* parent)
    : QDialog(parent), calendar_(new QCalendarWidget(this)) {
    setWindowTitle(QStringLiteral("Seleccionar Fecha"));
    const QLocale argentina(QLocale::Spanish, QLocale::Argentina);
    calendar_->setLocale(argentina);
    calendar_->setFirstDayOfWeek(argentina.firstDayOfWeek());
    calendar_->setGridVisible(true);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setSelectedDate(initial.isValid() ? initial : QDate::currentDate());

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&Aceptar"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(calendar_, &QCalendarWidget::activated, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendar_);
    layout->addWidget(buttons);
    fitsSixWeeks();
}

// The calendar sizes its grid by its font alone, leaving out a frame the
// skin draws; its rows cannot be lower than the header's smallest section,
// so the sixth week was cut off. The grid gets room for the day names and
// six weeks at that height, inside its frame.
void DatePickerDialog::fitsSixWeeks() {
    auto* grid = calendar_->findChild<QTableView*>();
    if (!grid) return;
    grid->ensurePolished();
    grid->setMinimumHeight(grid->model()->rowCount() *
                               grid->verticalHeader()->minimumSectionSize() +
                           2 * grid->frameWidth());
}

QDate DatePickerDialog::selectedDate() const {
    return calendar_->selectedDate();
}

}  // namespace kl
