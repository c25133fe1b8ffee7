#pragma once

namespace app {

struct Controls;

// Says what the controls with hidden uses do, without changing the layout.
void SetToolTips(const Controls &c);

} // namespace app
