// The module's resources: every string id declared has its text, the texts that callers fill
// in carry the placeholder they fill, and the templates name real controls.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "resources/VaultryModule.h"
#include "resources/VaultryStrings.h"

namespace {

int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

TEST(VaultryModuleTest, EveryDeclaredStringIdHasItsText) {
    std::ifstream header(std::string(VAULTRY_SOURCE_DIR) + "/resources/VaultryStrings.h");
    ASSERT_TRUE(header.good());
    const std::regex declaration(R"(^\s*(IDS_\w+)\s*=\s*(\d+),)");
    int ids = 0;
    for (std::string line; std::getline(header, line);) {
        std::smatch match;
        if (std::regex_search(line, match, declaration)) {
            ++ids;
            EXPECT_FALSE(ModuleString(static_cast<UINT>(std::stoul(match[2]))).IsEmpty())
                << match[1] << " has no text";
        }
    }
    EXPECT_GT(ids, 50);
}

TEST(VaultryModuleTest, TextsThatAreFilledInCarryTheirPlaceholderOnce) {
    const std::pair<UINT, const char*> filled[] = {
        {IDS_ERROR_OPENING_DATABASE, "%d"}, {IDS_UNNAMED_PART_NUMBERED, "%d"},
        {IDS_COPY_NUMBERED_OF, "%d"},       {IDS_NAME_TAKEN_NO_RIGHTS, "%1"},
        {IDS_SPECIFY_NAME, "%1"},           {IDS_NO_SUCH_NAME, "%1"},
        {IDS_SELECT_GROUP_FIRST, "%1"},     {IDS_OVERWRITE, "%1"},
        {IDS_CATEGORY_NOT_COPIED, "%1"},    {IDS_PART_NOT_COPIED, "%1"},
    };
    for (const auto& [id, placeholder] : filled) {
        EXPECT_EQ(Occurrences(ModuleString(id).str(), placeholder), 1) << id;
    }
}

TEST(VaultryModuleTest, TiersAreShownByTheirTitles) {
    EXPECT_EQ(TierTitle(DATABASETYPE_MASTER), ModuleString(IDS_TIER_MASTER));
    EXPECT_EQ(TierTitle(DATABASETYPE_CORPORATE), ModuleString(IDS_TIER_CORPORATE));
    EXPECT_EQ(TierTitle(DATABASETYPE_USER), ModuleString(IDS_TIER_USER));
    EXPECT_EQ(TierTitle(static_cast<DATABASETYPE>(7)), ModuleString(IDS_TIER_USER));
}

TEST(VaultryModuleTest, EveryTemplateHasOkCancelAndDistinctControlIds) {
    for (const UINT id : {IDD_USER_PASSWORD, IDD_ASK_LIB_PASSWORD}) {
        const CDialogTemplate* layout = VaultryModuleInstance()->FindDialog(id);
        ASSERT_NE(layout, nullptr) << id;
        std::set<UINT> ids;
        for (const DialogControl& control : layout->controls) {
            EXPECT_LE(control.x + control.width, layout->width) << id << "/" << control.id;
            EXPECT_LE(control.y + control.height, layout->height) << id << "/" << control.id;
            if (control.id != IDC_STATIC) {
                EXPECT_TRUE(ids.insert(control.id).second) << id << " repeats " << control.id;
            }
        }
        EXPECT_TRUE(ids.count(IDC_OK) && ids.count(IDC_CANCEL)) << id;
        EXPECT_EQ(layout->helpId, HelpIdOf(id));
    }
}

}  // namespace
