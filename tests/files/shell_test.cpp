#include "files/shell.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(Shell, ExplorerSelectArgument) {
  EXPECT_EQ(explorer_select_argument("C:\\Users\\me\\Documents\\Linewick\\COM3 log.txt"),
            "/select,\"C:\\Users\\me\\Documents\\Linewick\\COM3 log.txt\"");
}

}  // namespace
}  // namespace lw
