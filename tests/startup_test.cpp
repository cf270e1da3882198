#include <gtest/gtest.h>

#include "support/test_app.h"

namespace pelisto::test {

TEST(Startup, PaletteEntry14TakesTheButtonFace) {
  TestApp app;
  app.ui.setSystemColor(SystemColor::kButtonFace, Rgb{10, 200, 30});
  app.started();
  Canvas& form = app.ui.canvas(Control::MAINFORM);
  EXPECT_EQ(form.palette(14), (Rgb{10, 200, 30}));
  EXPECT_EQ(form.pixel(400, 100), (Rgb{10, 200, 30}));
  EXPECT_EQ(app.ctx.state.APPTITLE, "Pelisto V0.1");
  EXPECT_EQ(app.ctx.state.TRACEX, -1);
}

}  // namespace pelisto::test
