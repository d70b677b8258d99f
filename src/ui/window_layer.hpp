// The pieces every window is built from, one file each: fonts, placement in
// twips, colours, labels and buttons as designed, clickable labels, control
// arrays, the date-row spinner and its field, column labels and
// single-instance modeless windows.
#pragma once

#include "ui/click_label.hpp"
#include "ui/colours.hpp"
#include "ui/column_label.hpp"
#include "ui/control_array.hpp"
#include "ui/controls.hpp"
#include "ui/fonts.hpp"
#include "ui/single_window.hpp"
#include "ui/spinner.hpp"
#include "ui/step_field.hpp"
#include "ui/twips.hpp"
