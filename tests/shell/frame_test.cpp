// Which main window the child windows join. A child asks the frame it finds at the moment;
// a frame that is gone must never be found, or the child would reach a freed window.
#include <gtest/gtest.h>

#include <memory>

#include "app/frame/ui/Frame.h"
#include "app/histograms/ui/UHistograma.h"
#include "app/shell/ui/UnitPrincipal.h"
#include "tests/support/GuiTest.h"

using vandrel::testing::ProgramFolder;

namespace {

std::unique_ptr<TFormPrincipal> MainWindow(const ProgramFolder& folder) {
  return std::make_unique<TFormPrincipal>(TFormPrincipal::Options{folder.Path(), {}});
}

}  // namespace

TEST(Frame, IsTheLastMainWindowMadeUntilItGoes) {
  ProgramFolder folder;
  ASSERT_EQ(CurrentFrame(), nullptr);
  EXPECT_EQ(FrameWidget(), nullptr);

  auto first = MainWindow(folder);
  EXPECT_EQ(CurrentFrame(), static_cast<Frame*>(first.get()));
  EXPECT_EQ(FrameWidget(), static_cast<QWidget*>(first.get()));
  auto second = MainWindow(folder);
  EXPECT_EQ(CurrentFrame(), static_cast<Frame*>(second.get()));

  // The older window going leaves the newer one as the frame, and children join it.
  first.reset();
  ASSERT_EQ(CurrentFrame(), static_cast<Frame*>(second.get()));
  auto* joined = new TFormHistograma(second.get());
  ASSERT_EQ(second->Filhas().size(), 1u);
  EXPECT_EQ(second->Filhas()[0], joined);
  EXPECT_NE(joined->SubWindow(), nullptr);

  second.reset();
  EXPECT_EQ(CurrentFrame(), nullptr);
  EXPECT_EQ(FrameWidget(), nullptr);
  vandrel::testing::Settle();
}

TEST(Frame, WithoutOneAChildStaysAWindowOfItsOwn) {
  ProgramFolder folder;
  ASSERT_EQ(CurrentFrame(), nullptr);
  TFormHistograma alone(nullptr);
  EXPECT_EQ(alone.SubWindow(), nullptr);
  EXPECT_EQ(alone.Caption(), "Histograma");
}
