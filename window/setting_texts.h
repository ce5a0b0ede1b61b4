// The settings table's words as the window shows them: its captions, units and
// meanings are English C strings shared with kx5170ctl and the settings files; the
// window shows them in the user's language.
#pragma once

#include "settings_table.h"

#include <QString>

namespace kx {

QString SettingCaption(const SettingsField& field);
// "counts" and "%" as shown beside a box; empty for a plain number.
QString SettingUnit(const SettingsField& field);
QString SettingMeaning(const SettingsField& field);

}  // namespace kx
