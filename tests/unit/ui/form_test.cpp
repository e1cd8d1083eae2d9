#include <gtest/gtest.h>

#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/headless/driver.h"
#include "ui/menu.h"
#include "ui/page_control.h"
#include "ui/tool_bar.h"

namespace {

struct FormTest : testing::Test {
    ui::headless::Driver driver;
};

struct Dialog : ui::Form {
    ui::Button& ok = add<ui::Button>();
    ui::Button& cancel = add<ui::Button>();
    ui::Edit& edit = add<ui::Edit>();
    std::vector<std::string> log;
    Dialog() {
        setName("Dialog");
        ok.setText("OK");
        ok.setModalResult(ui::ModalResult::Ok);
        ok.setDefault(true);
        ok.onClick = [this] { log.push_back(modal() ? "ok while modal" : "ok"); };
        cancel.setText("Cancel");
        cancel.setModalResult(ui::ModalResult::Cancel);
        cancel.setCancel(true);
    }
};

TEST_F(FormTest, ButtonWithModalResultEndsTheModalFormAfterItsHandler) {
    Dialog d;
    driver.whenModal([](ui::Form& f) {
        auto& dlg = static_cast<Dialog&>(f);
        dlg.ok.userClick();
    });
    EXPECT_EQ(d.showModal(), ui::ModalResult::Ok);
    EXPECT_EQ(d.log, (std::vector<std::string>{"ok while modal"}));
    EXPECT_FALSE(d.visible());
    EXPECT_EQ(driver.modalForms(), (std::vector<std::string>{"Dialog"}));
}

TEST_F(FormTest, ModalFormWithoutAnswerClosesWithCancel) {
    Dialog d;
    EXPECT_EQ(d.showModal(), ui::ModalResult::Cancel);
    driver.whenModal([](ui::Form& f) { f.close(); });
    EXPECT_EQ(d.showModal(), ui::ModalResult::Cancel);
    driver.whenModal([&](ui::Form& f) { driver.closeForm(f, ui::ModalResult::Yes); });
    EXPECT_EQ(d.showModal(), ui::ModalResult::Yes);
}

TEST_F(FormTest, DisabledOkButtonCannotEndTheForm) {
    Dialog d;
    d.ok.setEnabled(false);
    driver.whenModal([&](ui::Form& f) {
        driver.click(static_cast<Dialog&>(f).ok);
        driver.pressKey(f, ui::key::Enter);
    });
    EXPECT_EQ(d.showModal(), ui::ModalResult::Cancel);
    EXPECT_TRUE(d.log.empty());
}

TEST_F(FormTest, EnterAndEscapeReachDefaultAndCancelButtons) {
    Dialog d;
    driver.whenModal([&](ui::Form& f) { driver.pressKey(f, ui::key::Escape); });
    EXPECT_EQ(d.showModal(), ui::ModalResult::Cancel);
    driver.whenModal([&](ui::Form& f) { driver.pressKey(f, ui::key::Enter); });
    EXPECT_EQ(d.showModal(), ui::ModalResult::Ok);
}

TEST_F(FormTest, KeyPreviewLetsTheFormSeeKeysFirst) {
    Dialog d;
    d.show();
    std::vector<std::string> seen;
    d.onKeyDown = [&](ui::KeyEvent& e) {
        seen.push_back("form");
        if (e.key == 'S' && (e.shift & ui::CtrlKey)) e.key = 0;
    };
    d.edit.onKeyDown = [&](ui::KeyEvent&) { seen.push_back("edit"); };
    driver.focus(d.edit);
    driver.pressKey(d, 'A');
    EXPECT_EQ(seen, (std::vector<std::string>{"edit"}));
    seen.clear();
    d.setKeyPreview(true);
    driver.pressKey(d, 'A');
    driver.pressKey(d, 'S', ui::CtrlKey);
    EXPECT_EQ(seen, (std::vector<std::string>{"form", "edit", "form"}));
}

TEST_F(FormTest, EscapeConsumedByKeyPreviewDoesNotCancel) {
    Dialog d;
    d.setKeyPreview(true);
    d.onKeyDown = [](ui::KeyEvent& e) {
        if (e.key == ui::key::Escape) e.key = 0;
    };
    driver.whenModal([&](ui::Form& f) {
        driver.pressKey(f, ui::key::Escape);
        EXPECT_EQ(f.modalResult(), ui::ModalResult::None);
    });
    d.showModal();
}

std::string german(const std::string& s) {
    if (s == "OK") return "Gut";
    if (s == "Cancel") return "Abbrechen";
    if (s == "Preview") return "Vorschau";
    if (s == "Use large icons") return "Große Symbole";
    if (s == "Device:") return "Gerät:";
    return s;
}

std::string french(const std::string& s) {
    if (s == "OK") return "D'accord";
    if (s == "Cancel") return "Annuler";
    if (s == "Preview") return "Aperçu";
    return s;
}

TEST_F(FormTest, TranslationRemembersSourcesForReTranslation) {
    Dialog d;
    auto& pages = d.add<ui::PageControl>();
    auto& preview = pages.addPage("Preview");
    preview.setHint("Cancel");
    auto& menu = d.addMenu("OptionsPopup");
    auto& large = menu.add("Use large icons");
    menu.add("-");
    d.translate(german);
    EXPECT_EQ(d.ok.text(), "Gut");
    EXPECT_EQ(preview.text(), "Vorschau");
    EXPECT_EQ(preview.hint(), "Abbrechen");
    EXPECT_EQ(large.caption(), "Große Symbole");
    d.translate(french);
    EXPECT_EQ(d.ok.text(), "D'accord");
    EXPECT_EQ(d.cancel.text(), "Annuler");
    EXPECT_EQ(preview.text(), "Aperçu");
    EXPECT_EQ(large.caption(), "Use large icons");
    d.translate([](const std::string& s) { return s; });
    EXPECT_EQ(d.ok.text(), "OK");
}

TEST_F(FormTest, TextsSetByTheProgramAfterTranslationStayAsSet) {
    Dialog d;
    d.translate(german);
    d.ok.setText("Anwenden");
    d.translate(french);
    EXPECT_EQ(d.ok.text(), "Anwenden");
    EXPECT_EQ(d.cancel.text(), "Annuler");
}

TEST_F(FormTest, ExcludedPartsAndUserTextsAreLeftAlone) {
    Dialog d;
    d.edit.setText("Cancel");
    auto& languages = d.add<ui::ComboBox>();
    languages.setItems({"OK", "Cancel"});
    languages.setTranslateParts(ui::TranslateHint);
    auto& zoom = d.add<ui::ComboBox>();
    zoom.setItems({"Preview", "OK"});
    zoom.setItemIndex(1);
    auto& fixed = d.add<ui::Button>();
    fixed.setText("OK");
    fixed.setTranslateParts(ui::TranslateNone);
    d.translate(german);
    EXPECT_EQ(d.edit.text(), "Cancel");
    EXPECT_EQ(languages.items(), (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(zoom.items(), (std::vector<std::string>{"Vorschau", "Gut"}));
    EXPECT_EQ(zoom.itemIndex(), 1);
    EXPECT_EQ(zoom.text(), "Gut");
    EXPECT_EQ(fixed.text(), "OK");
    d.translate(french);
    EXPECT_EQ(zoom.items(), (std::vector<std::string>{"Aperçu", "D'accord"}));
}

TEST_F(FormTest, ControlsAddedAfterTheFirstTranslationAreTranslatedLater) {
    Dialog d;
    d.translate(german);
    auto& late = d.add<ui::Button>();
    late.setText("Cancel");
    d.translate(french);
    EXPECT_EQ(late.text(), "Annuler");
}

TEST_F(FormTest, CoolBandTextsAreTranslated) {
    Dialog d;
    auto& dock = d.add<ui::CoolBar>();
    auto& bar = dock.add<ui::ToolBar>();
    dock.addBand(bar, "Device:");
    d.translate(german);
    EXPECT_EQ(dock.band(0).text, "Gerät:");
    d.translate(french);
    EXPECT_EQ(dock.band(0).text, "Device:");
}

TEST_F(FormTest, NonModalCloseAsksOnClose) {
    Dialog d;
    d.show();
    d.onClose = [](ui::CloseAction& a) { a = ui::CloseAction::None; };
    d.close();
    EXPECT_TRUE(d.visible());
    d.onClose = nullptr;
    d.close();
    EXPECT_FALSE(d.visible());
}

}  // namespace
