// Forms the Windows toolkit is proven with: one holding every kind of widget, and the product's
// own forms with their settings kept in a private folder.
#pragma once

#include <memory>
#include <string>

#include "support/scoped_environment.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/page_control.h"
#include "ui/paint_box.h"
#include "ui/tool_bar.h"
#include "ui/track_bar.h"

namespace tarnwick::wine {

// Counts of the events the widgets ran.
struct Events {
    int check = 0, radio = 0, combo = 0, dropDown = 0, track = 0, trackDown = 0, trackUp = 0;
    int trackEnd = 0;
    int tool = 0, label = 0, menu = 0, page = 0, paint = 0, cancel = 0, ok = 0, exit = 0;
};

class WidgetForm : public ui::Form {
  public:
    WidgetForm();
    Events events;
    ui::CoolBar& coolBar;
    ui::ToolBar& toolBar;
    ui::ToolButton& scan;
    ui::ToolButton& regions;
    ui::ToolButton& settings;
    ui::ComboBox& zoom;
    ui::PageControl& pages;
    ui::Label& label;
    ui::CheckBox& check;
    ui::RadioButton& radioA;
    ui::RadioButton& radioB;
    ui::Edit& edit;
    ui::ComboBox& list;
    ui::TrackBar& track;
    ui::Panel& group;
    ui::ScrollBox& scroll;
    ui::PaintBox& paint;
    ui::StatusBar& status;
    ui::ProgressBar& progress;
    ui::Button& ok;
    ui::Button& cancel;
    ui::PopupMenu& menu;
};

// Points the settings file's candidate folders at a private folder for the object's lifetime.
class PrivateSettings {
  public:
    PrivateSettings();

  private:
    testing_support::TemporaryFolder folder_;
    testing_support::ScopedEnvironment environment_;
};

// The form named (settings, about, gamma; widgets, or picture with the paint box's page); null for
// a name this build has no form for.
std::unique_ptr<ui::Form> makeForm(const std::string& name);
// What a photograph of the form shows beyond its first look, done once it is on the screen (the
// settings dialog's host list opened).
void afterShown(const std::string& name, ui::Form& form);

}  // namespace tarnwick::wine
