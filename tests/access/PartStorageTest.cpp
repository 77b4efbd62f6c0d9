// Storing, loading, copying and renaming parts through the handler, with real footprints.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "access/PartListing.h"
#include "access/TakenNameFinder.h"
#include "host/BuiltInPlugIns.h"
#include "host/CDrwObList.h"
#include "host/CDrwShapes.h"
#include "host/CDrwSubSheet.h"
#include "host/FootprintGenerator.h"
#include "platform/afx/CStringArray.h"
#include "tables/CRSObjectTree.h"
#include "tables/CRSObjectTypes.h"
#include "tables/CRSObjects.h"
#include "tables/CRSUserTree.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/OpenLibraries.h"

namespace {

std::unique_ptr<CDrwGroup> Soic(const CString& name) {
    return MakeTwoRowFootprint(name, "U12", TwoRowPattern{});
}

std::unique_ptr<CDrwGroup> Chip(const CString& name) {
    return MakeChipFootprint(name, "R1", Millimetres(1.6), Millimetres(0.9), Millimetres(0.95));
}

}  // namespace

class PartStorageTest : public vaultry::test::OnEngine<vaultry::test::OpenLibraries> {
protected:
    void SetUp() override {
        RegisterBuiltInPlugIns();
        OpenLibraries::SetUp();
    }
    bool Store(CMSAccessDBHandler* tier, CDrwGroup& part, const char* docType = "Footprint",
               long tree = 1) {
        return tier->SaveObject(nullptr, &part, tree, docType, nullptr, nullptr);
    }
    std::unique_ptr<CDrwGroup> Load(CMSAccessDBHandler* tier, long id, long* typeID = nullptr) {
        CDrwGroup* group = nullptr;
        CLayerDefinition layers;
        CColorDefinition colours;
        const long type = tier->LoadObject(nullptr, group, id, &layers, &colours);
        if (typeID) {
            *typeID = type;
        }
        return std::unique_ptr<CDrwGroup>(group);
    }
    long IdOf(CMSAccessDBHandler* tier, const char* name) {
        return tier->GetObjectID(name, "Footprint");
    }
};

INSTANTIATE_TEST_SUITE_P(Engines, PartStorageTest, vaultry::test::kEveryEngine,
                         vaultry::test::EngineName);

TEST_P(PartStorageTest, UnnamedPartsAreNumberedPastTheTakenNames) {
    for (const char* expected : {"Unnamed part", "Unnamed part(2)", "Unnamed part(3)"}) {
        auto part = Chip("");
        CDrwGroup unnamed;
        unnamed.Add(
            std::unique_ptr<CDrawObject>(static_cast<CDrawObject*>(part->GetObject(0)->Clone())));
        ASSERT_TRUE(Store(user, unnamed));
        EXPECT_EQ(*unnamed.GetName(), expected);
    }
    EXPECT_GT(IdOf(user, "Unnamed part(3)"), 0);
}

// A caller that found the names free stores without asking again, but an unnamed part still
// cannot take a name a later part of the same list carries.
TEST_P(PartStorageTest, NamesFoundFreeAreNotAskedForUnlessAPartIsUnnamed) {
    auto unnamed = std::make_unique<CDrwGroup>();
    unnamed->Add(
        std::unique_ptr<CDrawObject>(static_cast<CDrawObject*>(Chip("")->GetObject(0)->Clone())));
    CDrwObList list;
    list.Add(unnamed.release());
    list.Add(Chip("Unnamed part").release());
    list.Add(Chip("R0805").release());
    int stored = 0;
    user->SaveObjects(nullptr, &list, 1, nullptr, nullptr, stored,
                      CMSAccessDBHandler::NameCheck::kFoundFree);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(TakenNames(*user, {"Unnamed part", "R0805"}).size(), 2u);
    EXPECT_EQ(user->GetRSObjects()->GetRecordCount(), 2);

    CDrwObList named;
    named.Add(Chip("R1206").release());
    user->SaveObjects(nullptr, &named, 1, nullptr, nullptr, stored,
                      CMSAccessDBHandler::NameCheck::kFoundFree);
    EXPECT_EQ(stored, 1);
    EXPECT_GT(IdOf(user, "R1206"), 0);
}

// A list's names are asked about a commit batch at a time; each taken one is still refused: in
// the library (case ignored), earlier in the same batch, or in a batch before.
TEST_P(PartStorageTest, AListRefusesEveryTakenNameThoughItAsksForABatchAtOnce) {
    ASSERT_TRUE(Store(user, *Chip("R0402")));
    CDrwObList list;
    for (const char* name : {"r0402", "C1", "c1"}) {
        list.Add(Chip(name).release());
    }
    for (int i = 0; i < 61; ++i) {  // to the end of the first batch of 64
        list.Add(Chip(CString(("P" + std::to_string(i)).c_str())).release());
    }
    list.Add(Chip("p5").release());
    list.Add(Chip("P61").release());
    int stored = 0;
    EXPECT_FALSE(user->SaveObjects(nullptr, &list, 1, nullptr, nullptr, stored));
    EXPECT_EQ(stored, 63);
    EXPECT_EQ(user->GetRSObjects()->GetRecordCount(), 64);
    EXPECT_EQ(TakenNames(*user, {"C1", "P61"}).size(), 2u);
}

// An import asks which of a run's names are taken in one query: case ignored (also beyond
// ASCII), quotes matched as themselves, whatever the part's type.
TEST_P(PartStorageTest, TakenNamesAreFoundAsTheStoreWouldRefuseThem) {
    ASSERT_TRUE(Store(user, *Soic("\xc3\x84rger's \"SOIC\"")));  // Ärger's "SOIC"
    ASSERT_TRUE(Store(user, *Chip("R0603"), "Pad-Stack"));
    std::vector<CString> taken = TakenNames(
        *user, {"\xc3\xa4RGER'S \"soic\"", "r0603", "R0805", "'", "\xc3\x84rger", "R06_3"});
    std::sort(taken.begin(), taken.end());
    EXPECT_EQ(taken, (std::vector<CString>{"R0603", "\xc3\x84rger's \"SOIC\""}));
    EXPECT_TRUE(TakenNames(*user, {}).empty());

    // A finder asks the same until reading every name costs less (5 parts: at the 2nd name
    // asked), then answers from what it read.
    for (const char* name : {"R0805", "R1206", "R2010"}) {
        ASSERT_TRUE(Store(user, *Chip(name)));
    }
    TakenNameFinder finder(*user);
    EXPECT_EQ(finder.Taken({"r0603"}), std::vector<CString>{"r0603"});
    EXPECT_EQ(finder.Taken({"\xc3\xa4RGER'S \"soic\"", "R06_3", "'", "r1206", "\xc3\x84rger"}),
              (std::vector<CString>{"\xc3\xa4RGER'S \"soic\"", "r1206"}));
}

TEST_P(PartStorageTest, AStoredPartLoadsWithItsGeometryAndMarkedDesignator) {
    auto part = Soic("SOIC-8");
    ASSERT_TRUE(Store(user, *part));
    EXPECT_EQ(part->GetAttributeWithTag(KV_REFDES)->GetValue(), "U?");
    long typeID = 0;
    auto back = Load(user, IdOf(user, "SOIC-8"), &typeID);
    ASSERT_NE(back, nullptr);
    EXPECT_GT(typeID, 0);
    EXPECT_EQ(back->GetAttributeWithTag(KV_REFDES)->GetValue(), "U?");
    EXPECT_EQ(back->Pads().size(), 8u);
    EXPECT_EQ(back->Pads()[0]->m_x, part->Pads()[0]->m_x);
    EXPECT_EQ(user->GetDocType(typeID), "Footprint");
    // A second footprint of the same definitions shares the object type.
    auto other = Soic("SOIC-8B");
    ASSERT_TRUE(Store(user, *other));
    EXPECT_EQ(user->GetObjectTypeID(IdOf(user, "SOIC-8B")), typeID);
    EXPECT_EQ(Count("tObjectTypes"), 1);
}

TEST_P(PartStorageTest, ASameNamedPartIsReplacedOnlyWithRightsAndOfTheSameType) {
    ASSERT_TRUE(Store(user, *Soic("R1")));
    const long id = IdOf(user, "R1");
    auto wider = MakeTwoRowFootprint("R1", "U1", TwoRowPattern{14});
    ASSERT_TRUE(Store(user, *wider));
    EXPECT_EQ(IdOf(user, "R1"), id);  // replaced, not added
    EXPECT_EQ(Load(user, id)->Pads().size(), 14u);

    {
        vaultry::test::MessageBoxScript boxes;
        boxes.Expect("Failed to save the component : R1");
        auto cad = Soic("R1");
        EXPECT_FALSE(Store(user, *cad, "CAD-Object"));
    }
    user->GetRSUserTree()->SetUserPassword(0, "secret");
    user->Close();
    ASSERT_TRUE(user->IsInitialized(DATABASETYPE_USER));
    {
        vaultry::test::MessageBoxScript boxes;
        boxes.Expect("Failed to save the component : R1");
        EXPECT_FALSE(Store(user, *Soic("R1")));
    }
    EXPECT_EQ(Load(user, id)->Pads().size(), 14u);
}

// Without its type row a part's document type is unknown: its content cannot be made again,
// and writing it under a type of no name would leave a part nothing can read.
TEST_P(PartStorageTest, APartWhoseTypeIsGoneIsNotReplaced) {
    ASSERT_TRUE(Store(user, *Soic("R1")));
    const long id = IdOf(user, "R1");
    user->Execute("DELETE FROM tObjectTypes");
    user->Close();
    ASSERT_TRUE(user->IsInitialized(DATABASETYPE_USER));
    auto wider = MakeTwoRowFootprint("R1", "U1", TwoRowPattern{14});
    vaultry::test::MessageBoxScript boxes;
    boxes.AllowAny();
    EXPECT_FALSE(user->ReplaceObject(nullptr, id, wider.get(), nullptr, nullptr));
    EXPECT_EQ(Count("tObjectTypes"), 0);
}

TEST_P(PartStorageTest, SaveObjectsStoresTheKnownAndReportsTheUnknownOnce) {
    CDrwObList list;
    list.Add(new CDrwLine(0, 0, 1000, 0, 100));  // a loose line: no part type serves it
    list.Add(Chip("C1").release());
    list.Add(nullptr);
    list.Add(Chip("C2").release());
    vaultry::test::MessageBoxScript boxes;
    boxes.Expect("is/are unknown");
    EXPECT_FALSE(user->SaveObjects(nullptr, &list, 1, nullptr, nullptr));
    EXPECT_EQ(Count("tObjects"), 2);
    CDrwObList empty;
    EXPECT_FALSE(user->SaveObjects(nullptr, &empty, 1, nullptr, nullptr));
    EXPECT_FALSE(user->SaveObjects(nullptr, nullptr, 1, nullptr, nullptr));
}

TEST_P(PartStorageTest, LoadObjectsDecodesARepeatedNameOnceIntoDistinctObjects) {
    ASSERT_TRUE(Store(user, *Soic("U1")));
    ASSERT_TRUE(Store(user, *Chip("R9")));
    CStringArray names;
    names.Add("U1");
    names.Add("missing");
    names.Add("U1");
    names.Add("R9");
    CDrawObject** objects = nullptr;
    long* trees = nullptr;
    ASSERT_TRUE(user->LoadObjects(nullptr, objects, trees, names, "Footprint", nullptr, nullptr));
    ASSERT_NE(objects[0], nullptr);
    EXPECT_EQ(objects[1], nullptr);
    ASSERT_NE(objects[2], nullptr);
    EXPECT_NE(objects[0], objects[2]);
    EXPECT_EQ(*objects[2]->GetName(), "U1");
    ASSERT_NE(objects[3], nullptr);  // every name, not only the first
    EXPECT_EQ(trees[3], 1);
    for (int i = 0; i < names.GetSize(); ++i) {
        delete objects[i];
    }
    // Only parts of the document types asked for, named in any case, one or several.
    for (const auto& [docTypes, found] :
         {std::pair{"Padstack", false}, {"padstack|FOOTPRINT", true}, {"", false}}) {
        ASSERT_TRUE(user->LoadObjects(nullptr, objects, trees, names, docTypes, nullptr, nullptr));
        EXPECT_EQ(objects[3] != nullptr, found) << docTypes;
        for (int i = 0; i < names.GetSize(); ++i) {
            delete objects[i];
        }
    }
    delete[] objects;
    delete[] trees;
}

TEST_P(PartStorageTest, CopiesTakeFreeNamesAndKeepGeometryAcrossTiers) {
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    ASSERT_TRUE(Store(corporate, *Soic("R1")));
    const long source = corporate->GetObjectID("R1", "Footprint");
    ASSERT_TRUE(user->CopyObject(source, 1, corporate));
    EXPECT_GT(IdOf(user, "R1"), 0);  // no R1 there yet: the name stays
    ASSERT_TRUE(user->CopyObject(source, 1, corporate));
    EXPECT_GT(IdOf(user, "Copy of R1"), 0);
    ASSERT_TRUE(user->CopyObject(source, 1, corporate));
    const long copy2 = IdOf(user, "Copy(2) of R1");
    ASSERT_GT(copy2, 0);
    auto original = Load(corporate, source);
    auto copied = Load(user, copy2);
    ASSERT_EQ(copied->Pads().size(), original->Pads().size());
    for (std::size_t i = 0; i < original->Pads().size(); ++i) {
        EXPECT_EQ(copied->Pads()[i]->m_x, original->Pads()[i]->m_x);
        EXPECT_EQ(copied->Pads()[i]->m_height, original->Pads()[i]->m_height);
    }
}

TEST_P(PartStorageTest, RenamesRefuseNamesTakenInTheSameType) {
    ASSERT_TRUE(Store(user, *Soic("A")));
    ASSERT_TRUE(Store(user, *Soic("B")));
    EXPECT_TRUE(user->RenameObject(IdOf(user, "A"), "O'Brien"));
    EXPECT_GT(IdOf(user, "O'Brien"), 0);
    vaultry::test::MessageBoxScript boxes;
    boxes.Expect("The specified name already exists");
    EXPECT_FALSE(user->RenameObject(IdOf(user, "B"), "o'brien"));
    EXPECT_FALSE(user->RenameObject(IdOf(user, "B"), ""));

    // A renamed part is copied under its new name, not the one it was stored under.
    CMSAccessDBHandler* corporate = GetAccessDB(DATABASETYPE_CORPORATE);
    ASSERT_TRUE(corporate->CopyObject(IdOf(user, "O'Brien"), 1, user));
    EXPECT_GT(IdOf(corporate, "O'Brien"), 0);
    EXPECT_EQ(IdOf(corporate, "A"), -1);
}

TEST_P(PartStorageTest, APartWithoutAKnownDocumentTypeDoesNotLoad) {
    ASSERT_TRUE(Store(user, *Soic("U3")));
    user->Execute("UPDATE tObjectTypes SET strDocumentType=''");
    user->GetRSObjectTypes()->Requery();
    CDrwGroup* group = new CDrwGroup;  // freed by the load
    CLayerDefinition layers;
    CColorDefinition colours;
    EXPECT_EQ(user->LoadObject(nullptr, group, IdOf(user, "U3"), &layers, &colours), -1);
    EXPECT_EQ(group, nullptr);
    EXPECT_FALSE(user->HasValidDoctypeWithTypeID(user->GetRSObjects()->GetFirstObjectID("U3")));
}

TEST_P(PartStorageTest, OneObjectTypeRowPerDocumentTypeAndBlockAcrossReopening) {
    ASSERT_TRUE(Store(user, *Soic("U1")));
    user->Close();
    ASSERT_TRUE(user->IsInitialized(DATABASETYPE_USER));
    ASSERT_TRUE(Store(user, *Soic("U2")));
    EXPECT_EQ(Count("tObjectTypes"), 1);
    EXPECT_EQ(user->GetObjectTypeID(IdOf(user, "U2")), user->GetObjectTypeID(IdOf(user, "U1")));
}

TEST_P(PartStorageTest, APartWhoseTypeBlockIsMissingOrUnreadableDoesNotLoad) {
    ASSERT_TRUE(Store(user, *Soic("A")));
    CDrwGroup* loaded = nullptr;
    CLayerDefinition layers;
    CColorDefinition colours;
    ASSERT_GT(user->LoadObject(nullptr, loaded, IdOf(user, "A"), &layers, &colours), 0);
    delete loaded;
    // B's definitions differ from A's, so B gets an object type (and data block) of its own.
    CLayerDefinition extra;
    extra.Init(layers);
    extra.Add({999, "Extra", LayerKind::kMechanical});
    auto b = Soic("B");
    ASSERT_TRUE(user->SaveObject(nullptr, b.get(), 1, "Footprint", &colours, &extra));
    const long typeB = user->GetObjectTypeID(IdOf(user, "B"));
    ASSERT_NE(typeB, user->GetObjectTypeID(IdOf(user, "A")));
    CString blockOfB;
    blockOfB.Format("lBlobID=(SELECT lBlobID FROM tObjectTypes WHERE lObjectTypeID=%ld)", typeB);
    for (const CString& damage :
         {"UPDATE tBlobs SET blbBlob='not a data block, only a line of text' WHERE " + blockOfB,
          "DELETE FROM tBlobs WHERE " + blockOfB}) {
        ASSERT_NE(Load(user, IdOf(user, "A")), nullptr);  // A's block is the one held now
        user->Execute(damage);
        EXPECT_EQ(Load(user, IdOf(user, "B")), nullptr) << damage.str();
        EXPECT_NE(Load(user, IdOf(user, "A")), nullptr) << damage.str();
    }
}

TEST_P(PartStorageTest, AnUnknownPartLosesItsCategoryAttributeToo) {
    CDrwObList list;
    auto* line = new CDrwLine(0, 0, 1000, 0, 100);
    line->AddAttribute(std::make_unique<CDrawAttribute>("LIBRARYTREEID", "1"));
    list.Add(line);
    vaultry::test::MessageBoxScript boxes;
    boxes.Expect("is/are unknown");
    EXPECT_FALSE(user->SaveObjects(nullptr, &list, 1, nullptr, nullptr));
    EXPECT_EQ(line->GetAttributeWithTag("LIBRARYTREEID"), nullptr);
    list.DestroyContent();
}

TEST_P(PartStorageTest, ALookupIsNotMisledByTheFilterAnEarlierOneLeft) {
    ASSERT_TRUE(Store(user, *Soic("B")));
    const long b = IdOf(user, "B");
    ASSERT_TRUE(Store(user, *Soic("C")));  // its lookup leaves the part set on the name C
    EXPECT_TRUE(user->RenameObject(b, "A"));
    EXPECT_EQ(IdOf(user, "A"), b);
}

namespace {

// The handler with its block writer reachable.
class BlockWritingHandler : public CMSAccessDBHandler {
public:
    using CMSAccessDBHandler::CMSAccessDBHandler;
    using CMSAccessDBHandler::SaveCommonDataBlock;
};

}  // namespace

TEST_P(PartStorageTest, WritingTheDataBlockOfAMissingTypeFailsWithoutLeaking) {
    ASSERT_TRUE(Store(user, *Soic("U1")));
    BlockWritingHandler second(DATABASETYPE_USER, nullptr);
    ASSERT_TRUE(second.IsInitialized(DATABASETYPE_USER));
    EXPECT_TRUE(second.SaveCommonDataBlock(user->GetObjectTypeID(IdOf(user, "U1"))));
    EXPECT_FALSE(second.SaveCommonDataBlock(4242));  // the leak checker watches the blob
    second.Close();
}
