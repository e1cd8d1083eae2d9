// What native peers rely on: whole-text edits by the user keep the typing rules, the canvas
// reports each operation, and the tool-button pictures come in both sizes.
#include <gtest/gtest.h>

#include "ui/backend.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/headless/driver.h"
#include "ui/tool_bar.h"
#include "ui/tool_pictures.h"

namespace {

struct PeerHooksTest : testing::Test {
    ui::headless::Driver driver;
    ui::Form form;
    void SetUp() override { form.show(); }
};

TEST_F(PeerHooksTest, ReplacedTextFollowsWhatTheUserCouldType) {
    auto& port = form.add<ui::Edit>();
    port.setInput(ui::EditInput::Digits);
    port.setMaxLength(4);
    int changes = 0;
    port.onChange = [&] { ++changes; };
    EXPECT_TRUE(port.userReplaceText("6566"));
    EXPECT_TRUE(port.modified());
    EXPECT_FALSE(port.userReplaceText("65660"));  // one digit too many
    EXPECT_FALSE(port.userReplaceText("-656"));   // a mask of digits has no sign
    EXPECT_EQ(port.text(), "6566");
    EXPECT_EQ(changes, 1);

    auto& number = form.add<ui::Edit>();
    number.setInput(ui::EditInput::Integer);
    EXPECT_TRUE(number.userReplaceText("-12"));
    EXPECT_FALSE(number.userReplaceText("1-2"));  // the sign only leads
    auto& real = form.add<ui::Edit>();
    real.setInput(ui::EditInput::Real);
    EXPECT_TRUE(real.userReplaceText("-1,234.5"));
    EXPECT_FALSE(real.userReplaceText("1.5e3"));

    auto& name = form.add<ui::Edit>();
    name.setMaxLength(3);
    EXPECT_TRUE(name.userReplaceText("äöü"));  // characters, not bytes
    EXPECT_FALSE(name.userReplaceText("abcd"));
    name.setReadOnly(true);
    EXPECT_FALSE(name.userReplaceText("ab"));
    EXPECT_EQ(name.text(), "äöü");
}

struct Recorder : ui::CanvasListener {
    std::vector<ui::CanvasOpKind> kinds;
    int sourceWidth = 0;
    void drawn(const ui::CanvasOp& op, const ui::PixelView* source) override {
        kinds.push_back(op.kind);
        if (source) sourceWidth = source->width;
    }
};

TEST(PeerHooks, CanvasTellsItsListenerOfEveryDrawnOperation) {
    ui::Surface target(20, 20);
    ui::Canvas canvas(target);
    Recorder recorder;
    canvas.setListener(&recorder);
    ui::Surface picture(3, 2, ui::rgb(1, 2, 3));
    canvas.blit(picture.view(), 1, 1);
    canvas.fillRect({0, 0, 5, 5}, ui::argb(128, 255, 0, 0));
    canvas.outline({2, 2, 10, 10}, ui::Pen{});
    canvas.invertOutline({1, 1, 8, 8}, 1);
    canvas.line({0, 0}, {5, 5}, ui::rgb(0, 0, 0));
    canvas.stretchBlit(picture.view(), {0, 0, 0, 0});  // nothing to draw: nothing to tell
    using K = ui::CanvasOpKind;
    EXPECT_EQ(recorder.kinds,
              (std::vector<K>{K::Blit, K::FillRect, K::Outline, K::InvertOutline, K::Line}));
    EXPECT_EQ(recorder.sourceWidth, 3);
}

TEST(PeerHooks, ToolImagesComeInBothSizesInIndexOrder) {
    ui::headless::Driver driver;
    const ui::ImageList& small = ui::backend().toolImages(16);
    const ui::ImageList& large = ui::backend().toolImages(32);
    ASSERT_EQ(small.images.size(), static_cast<std::size_t>(ui::kToolImageCount));
    ASSERT_EQ(large.images.size(), static_cast<std::size_t>(ui::kToolImageCount));
    EXPECT_EQ(small.images[0].width(), 16);
    EXPECT_EQ(large.images[9].height(), 32);
    // Every picture is its own, and each leaves a transparent border pixel.
    for (int i = 0; i < ui::kToolImageCount; ++i) {
        EXPECT_EQ(small.images[i].pixel(0, 0), ui::kPictureTransparent);
        for (int j = 0; j < i; ++j) {
            int differing = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    differing += small.images[i].pixel(x, y) != small.images[j].pixel(x, y);
            EXPECT_GT(differing, 10) << i << " and " << j;
        }
    }
}

}  // namespace
