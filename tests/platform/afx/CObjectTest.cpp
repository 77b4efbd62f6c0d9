#include <gtest/gtest.h>

#include <memory>

#include "platform/afx/CMap.h"
#include "platform/afx/CMapStringToOb.h"
#include "platform/afx/CObject.h"
#include "platform/afx/CStringArray.h"

namespace {

class CTestShape : public CObject {
    DECLARE_DYNCREATE(CTestShape)
};
IMPLEMENT_DYNCREATE(CTestShape, CObject)

class CTestPad : public CTestShape {
    DECLARE_SERIAL(CTestPad)
};
IMPLEMENT_SERIAL(CTestPad, CTestShape, 1)

}  // namespace

TEST(CObjectTest, CreatesRegisteredClassesByName) {
    const CRuntimeClass* cls = CRuntimeClass::FromName("CTestPad");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<CObject> object(cls->CreateObject());
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CTestShape)));
    EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_EQ(object->GetRuntimeClass(), RUNTIME_CLASS(CTestPad));
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);
}

TEST(CObjectTest, CollectionsBehaveAsMfc) {
    CStringArray names;
    names.Add("a");
    names.InsertAt(0, "b");
    names.Add("c");
    names.RemoveAt(1);
    ASSERT_EQ(names.GetSize(), 2);
    EXPECT_EQ(names[0], "b");
    EXPECT_EQ(names.GetUpperBound(), 1);

    CMap<int, int, CString, const CString&> map;
    map.SetAt(3, "three");
    map[4] = "four";
    CString value;
    EXPECT_TRUE(map.Lookup(3, value));
    EXPECT_EQ(value, "three");
    EXPECT_FALSE(map.Lookup(5, value));
    EXPECT_TRUE(map.RemoveKey(3));
    EXPECT_EQ(map.GetCount(), 1);

    CTestShape shape;
    CMapStringToOb objects;
    objects.SetAt("shape", &shape);
    CObject* found = nullptr;
    EXPECT_TRUE(objects.Lookup("shape", found));
    EXPECT_EQ(found, &shape);
}
