#pragma once

#include <string_view>

class QWidget;

namespace launch {

// A message of the launch commands: the application's name as caption, a warning, an OK button.
void ShowLaunchMessage(QWidget* parent, std::string_view text);

} // namespace launch
