// The busy cursor: on while a scope lives, nested scopes included, and off again however
// the scope ends.
#include <QCursor>
#include <QGuiApplication>
#include <stdexcept>

#include "platform/qt/BusyCursor.h"
#include "tests/imaging/ImagingFixture.h"

namespace vandrel::testing {
namespace {

bool Busy() {
  const QCursor* c = QGuiApplication::overrideCursor();
  return c && c->shape() == Qt::WaitCursor;
}

TEST(BusyCursor, OnForTheScopeAndOffAfterItHoweverItEnds) {
  ASSERT_FALSE(Busy());
  {
    const BusyCursor outer;
    EXPECT_TRUE(Busy());
    {
      const BusyCursor inner;
      EXPECT_TRUE(Busy());
    }
    EXPECT_TRUE(Busy());  // the outer work goes on
  }
  EXPECT_FALSE(Busy());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  try {
    const BusyCursor busy;
    throw std::runtime_error("failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace vandrel::testing
