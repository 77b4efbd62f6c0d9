#include "tables/CRSBlobs.h"
#include "tests/support/OpenLibraries.h"

class CRSBlobsTest : public vaultry::test::OnEngine<vaultry::test::OpenLibraries> {
protected:
    CRSBlobs blobs{nullptr};
    void SetUp() override {
        OpenLibraries::SetUp();
        blobs.m_pDatabase = user;
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, CRSBlobsTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(CRSBlobsTest, SaveNewThenLoadGivesTheSameBytes) {
    std::string bytes(20000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7);
    }
    const long id = blobs.SaveNew(MakeBlob(bytes));
    ASSERT_GT(id, 0);
    EXPECT_EQ(blobs.m_lBlobSize, 20000);
    CBlob* loaded = MakeBlob("freed by Load");
    EXPECT_TRUE(blobs.Load(id, loaded));
    EXPECT_EQ(Text(loaded), bytes);

    const long empty = blobs.CreateNew();
    EXPECT_GT(empty, id);
    EXPECT_TRUE(blobs.Load(empty, loaded));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_nSize, 0u);
    EXPECT_TRUE(blobs.Load(9999, loaded));
    EXPECT_EQ(loaded, nullptr);
}

TEST_P(CRSBlobsTest, SaveOverwritesInPlaceAndAlwaysConsumesTheBlob) {
    const long id = blobs.SaveNew(MakeBlob("old"));
    EXPECT_TRUE(blobs.Save(MakeBlob("new and longer"), id));
    CBlob* loaded = nullptr;
    blobs.Load(id, loaded);
    EXPECT_EQ(Text(loaded), "new and longer");
    delete loaded;
    EXPECT_FALSE(blobs.Save(MakeBlob("nowhere"), 9999));  // freed, as the sanitizer checks
    EXPECT_FALSE(blobs.Save(nullptr, 9999));
    EXPECT_FALSE(blobs.Save(nullptr, id));
    EXPECT_EQ(Count("tBlobs"), 1);
}
