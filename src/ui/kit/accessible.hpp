// What a screen reader sees of the window layer's own controls: a clickable
// label is a button with a press action, a date-row field a spin box whose
// value is its spinner's, a chooser (combo box) named by its accessible name
// with its current item as its value.
#pragma once

namespace qelm::ui {

// Installs the factory for those controls once; their constructors, and
// those of the windows with choosers, call it.
void InstallAccessibleFactory();

}  // namespace qelm::ui
