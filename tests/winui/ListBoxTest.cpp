#include "winui/Application.h"
#include "winui/Form.h"
#include "winui/ListBox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace winui;

namespace {

class ListForm final : public Form {
public:
    ListForm() : Form(FormDesign{}) {}
    ListBox sorted;
    ListBox plain;

private:
    void CreateComponents() override
    {
        ListBoxDesign design;
        design.bounds = {0, 0, 100, 100};
        design.sorted = true;
        sorted.Create(Handle(), design);
        design.sorted = false;
        plain.Create(Handle(), design);
    }
};

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override { app.CreateForm(form); }
    Application app;
    ListForm* form = nullptr;
};

}  // namespace

TEST_F(ListBoxTest, BulkFillsSortExactlyAsSingleAdditions)
{
    const std::vector<std::string> first{"beta", "Alpha", "", "gamma", "alpha", "C:\\x", "\xE9t\xE9", "zeta", "Beta"};
    const std::vector<std::string> second{"delta", "ALPHA", "", "omega", "C:\\a", "epsilon", "\xC9T\xC9"};

    form->sorted.AddAll(first);
    form->sorted.AddAll(second);
    const std::vector<std::string> bulk = form->sorted.Items();

    form->sorted.Clear();
    for (const auto* list : {&first, &second})
        for (const std::string& text : *list)
            form->sorted.Add(text);
    const std::vector<std::string> single = form->sorted.Items();

    ASSERT_EQ(bulk.size(), first.size() + second.size());
    // Items equal but for case may stand in either order; compare ignoring it.
    ASSERT_EQ(bulk.size(), single.size());
    for (std::size_t i = 0; i < bulk.size(); ++i)
        EXPECT_EQ(::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, bulk[i].c_str(), -1, single[i].c_str(), -1),
                  CSTR_EQUAL)
            << i << ": " << bulk[i] << " / " << single[i];
    EXPECT_EQ(bulk.front(), "");
    EXPECT_EQ(bulk.back(), "zeta");
}

TEST_F(ListBoxTest, UnsortedListKeepsTheOrderGiven)
{
    form->plain.AddAll({"b", "a", "c"});
    EXPECT_EQ(form->plain.Items(), (std::vector<std::string>{"b", "a", "c"}));
    form->plain.Assign({"z"});
    EXPECT_EQ(form->plain.Items(), (std::vector<std::string>{"z"}));
}

TEST_F(ListBoxTest, SelectionAndUpdateBrackets)
{
    form->sorted.AddAll({"b", "a"});
    EXPECT_EQ(form->sorted.ItemIndex(), -1);
    form->sorted.SetItemIndex(1);
    EXPECT_EQ(form->sorted.ItemIndex(), 1);
    // An item inserted before the selection moves it along.
    form->sorted.AddAll({"0"});
    EXPECT_EQ(form->sorted.Item(form->sorted.ItemIndex()), "b");

    {
        ListUpdate outer(form->sorted);
        {
            ListUpdate inner(form->sorted);
            EXPECT_TRUE(form->sorted.Updating());
        }
        EXPECT_TRUE(form->sorted.Updating());
    }
    EXPECT_FALSE(form->sorted.Updating());
    EXPECT_THROW(form->sorted.Item(10), std::out_of_range);
}
