// What a screen reader sees of the window layer's own controls: a clickable
// label is a button with a press action, a date-row field a spin box whose
// value is its spinner's.
#pragma once

namespace qelm::ui {

// Installs the factory for those controls once; their constructors call it.
void InstallAccessibleFactory();

}  // namespace qelm::ui
