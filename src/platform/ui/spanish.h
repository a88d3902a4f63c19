#pragma once

namespace kl {

// Qt's own texts in Spanish (file dialogs, context menus, calendar) and
// Argentine number and date formats. Needs the application object; returns
// false when Qt's Spanish translation is not installed (the formats are
// set anyway).
bool installSpanishTranslations();

}  // namespace kl
