#include "workbench/ui/undo_budget.h"

#include <gtest/gtest.h>

namespace korvane::workbench {
namespace {

TEST(UndoBudget, OnlyTheLatestStepsCanBeUndone) {
    TUndoBudget budget(3);
    for (int i = 0; i < 5; ++i) budget.Edited();
    int undone = 0;
    while (budget.TakeUndo()) ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(budget.RedoSteps(), 3);
}

TEST(UndoBudget, RedoReturnsUndoneStepsUntilTheNextEdit) {
    TUndoBudget budget(kUndoLimit);
    budget.Edited();
    budget.Edited();
    ASSERT_TRUE(budget.TakeUndo());
    ASSERT_TRUE(budget.TakeUndo());
    EXPECT_TRUE(budget.TakeRedo());
    EXPECT_EQ(budget.UndoSteps(), 1);
    budget.Edited();
    EXPECT_FALSE(budget.TakeRedo());
    EXPECT_EQ(budget.UndoSteps(), 2);
    budget.Reset();
    EXPECT_FALSE(budget.TakeUndo());
}

}  // namespace
}  // namespace korvane::workbench
