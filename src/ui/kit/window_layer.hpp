// The pieces every window is built from, one file each: fonts, placement in
// twips, colours, labels and buttons as designed, clickable labels, control
// arrays, the date-row spinner and its field, column labels and
// single-instance modeless windows.
#pragma once

#include "ui/kit/click_label.hpp"
#include "ui/kit/colours.hpp"
#include "ui/kit/column_label.hpp"
#include "ui/kit/control_array.hpp"
#include "ui/kit/controls.hpp"
#include "ui/kit/fonts.hpp"
#include "ui/kit/single_window.hpp"
#include "ui/kit/spinner.hpp"
#include "ui/kit/step_field.hpp"
#include "ui/kit/twips.hpp"
