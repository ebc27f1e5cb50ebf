// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

// Loads the toolkit's own translations for the default locale (the text boxes' context menus,
// the standard dialogs' buttons), from Qt's translations folder, so a German window has no
// English corner. Texts the program sets itself stay as they are. Without the translations
// installed (Debian: qt6-translations-l10n) the toolkit speaks English; nothing else changes.
void InstallToolkitTranslations(QCoreApplication& app);
