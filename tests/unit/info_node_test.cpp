#include "model/info_node.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/test_hooks.h"
#include "support/record_text.h"

namespace {

struct Tree {
    InfoNode *root = CreateInfoNode(nullptr, 1, nullptr, 0);
    ~Tree() { ReleaseTree(root); }
};

TEST(InfoNode, CreateCopiesDataAndStartsUnlinked) {
    const char text[] = "@PJL";
    InfoNode *n = CreateInfoNode(nullptr, 1000, text, sizeof text);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->id, 1000);
    EXPECT_EQ(n->cbData, sizeof text);
    EXPECT_EQ(GlobalSize(n), sizeof(InfoNode) + sizeof text);
    EXPECT_EQ(std::memcmp(INFO_NODE_DATA(n), text, sizeof text), 0);
    EXPECT_EQ(n->pParent, nullptr);
    EXPECT_EQ(n->pFirstChild, nullptr);
    EXPECT_EQ(n->pNextSibling, nullptr);
    EXPECT_EQ(n->pLastChild, nullptr);
    GlobalFree(n);
}

TEST(InfoNode, NullDataNeedsZeroLength) {
    long before = HostLiveBlocks();
    EXPECT_EQ(CreateInfoNode(nullptr, 1, nullptr, 5), nullptr);
    EXPECT_EQ(HostLiveBlocks(), before);
    InfoNode *n = CreateInfoNode(nullptr, 1, nullptr, 0);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->cbData, 0u);
    EXPECT_NE(GetInfoNodeData(n, 0, DATA_SIZE_EXACT), nullptr);
    GlobalFree(n);
}

TEST(InfoNode, FailedAllocationGivesNull) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    Tree t;
    HostFailAllocation(1, 0);
    EXPECT_EQ(CreateInfoNode(t.root, 1000, "x", 2), nullptr);
    EXPECT_EQ(t.root->pFirstChild, nullptr);
}

TEST(InfoNode, AppendChainsChildrenInOrder) {
    Tree t;
    InfoNode *a = CreateInfoNode(t.root, 10, nullptr, 0);
    InfoNode *b = CreateInfoNode(t.root, 11, nullptr, 0);
    InfoNode *c = CreateInfoNode(t.root, 12, nullptr, 0);
    EXPECT_EQ(t.root->pFirstChild, a);
    EXPECT_EQ(a->pNextSibling, b);
    EXPECT_EQ(b->pNextSibling, c);
    EXPECT_EQ(c->pNextSibling, nullptr);
    EXPECT_EQ(t.root->pLastChild, c);
    for (InfoNode *n : {a, b, c}) EXPECT_EQ(n->pParent, t.root);
}

TEST(InfoNode, AppendRefusesLinkedNodesAndCycles) {
    Tree t, other;
    InfoNode *child = CreateInfoNode(t.root, 10, nullptr, 0);
    InfoNode *sibling = CreateInfoNode(t.root, 11, nullptr, 0);
    InfoNode *grandchild = CreateInfoNode(child, 20, nullptr, 0);
    InfoNode *free1 = CreateInfoNode(other.root, 30, nullptr, 0);

    EXPECT_FALSE(AppendInfoNode(other.root, sibling));  // has a parent
    child->pParent = nullptr;                            // only a next sibling left
    EXPECT_FALSE(AppendInfoNode(other.root, child));
    child->pParent = t.root;
    EXPECT_FALSE(AppendInfoNode(nullptr, free1));
    EXPECT_FALSE(AppendInfoNode(t.root, nullptr));
    EXPECT_FALSE(AppendInfoNode(grandchild, t.root));  // under its own descendant
    EXPECT_FALSE(AppendInfoNode(t.root, t.root));
    EXPECT_EQ(other.root->pLastChild, free1);
    EXPECT_EQ(t.root->pLastChild, sibling);
    EXPECT_EQ(t.root->pParent, nullptr);
}

TEST(InfoNode, FindStartsAtTheGivenNode) {
    Tree t;
    InfoNode *a = CreateInfoNode(t.root, 1000, nullptr, 0);
    InfoNode *b = CreateInfoNode(t.root, 1002, nullptr, 0);
    InfoNode *c = CreateInfoNode(t.root, 1000, nullptr, 0);
    EXPECT_EQ(FindInfoNode(a, 1000), a);
    EXPECT_EQ(FindInfoNode(b, 1000), c);
    EXPECT_EQ(FindInfoNode(a, 1002), b);
    EXPECT_EQ(FindInfoNode(a, 7), nullptr);
    EXPECT_EQ(FindInfoNode(nullptr, 1000), nullptr);
    EXPECT_EQ(GetFirstChildNode(t.root), a);
    EXPECT_EQ(GetNextSiblingNode(a), b);
    EXPECT_EQ(GetFirstChildNode(nullptr), nullptr);
    EXPECT_EQ(GetNextSiblingNode(nullptr), nullptr);
}

TEST(InfoNode, InfoOfNullWritesNothing) {
    LONG id = 77;
    DWORD len = 88;
    EXPECT_FALSE(GetInfoNodeInfo(nullptr, &id, &len));
    EXPECT_EQ(id, 77);
    EXPECT_EQ(len, 88u);
    InfoNode *n = CreateInfoNode(nullptr, 1002, "abc", 4);
    EXPECT_TRUE(GetInfoNodeInfo(n, &id, nullptr));
    EXPECT_TRUE(GetInfoNodeInfo(n, nullptr, &len));
    EXPECT_EQ(id, 1002);
    EXPECT_EQ(len, 4u);
    GlobalFree(n);
}

struct SizeRuleCase {
    DWORD rule;
    DWORD size;
    bool accepted;
    DWORD copied;
};

class SizeRules : public ::testing::TestWithParam<SizeRuleCase> {};

TEST_P(SizeRules, CopyAndGetFollowTheRule) {
    const SizeRuleCase &c = GetParam();
    InfoNode *n = CreateInfoNode(nullptr, 1000, "ABCDEFGH", 8);
    char out[16];
    std::memset(out, '.', sizeof out);
    EXPECT_EQ(CopyInfoNodeData(n, out, c.size, c.rule), c.accepted ? TRUE : FALSE);
    for (DWORD i = 0; i < sizeof out; ++i) EXPECT_EQ(out[i], i < c.copied ? "ABCDEFGH"[i] : '.') << i;
    EXPECT_EQ(GetInfoNodeData(n, c.size, c.rule), c.accepted ? INFO_NODE_DATA(n) : nullptr);
    GlobalFree(n);
}

INSTANTIATE_TEST_SUITE_P(AllRules, SizeRules,
                         ::testing::Values(SizeRuleCase{DATA_SIZE_EXACT, 8, true, 8},
                                           SizeRuleCase{DATA_SIZE_EXACT, 9, false, 0},
                                           SizeRuleCase{DATA_SIZE_EXACT, 7, false, 0},
                                           SizeRuleCase{DATA_SIZE_AT_LEAST, 9, true, 8},
                                           SizeRuleCase{DATA_SIZE_AT_LEAST, 7, false, 0},
                                           SizeRuleCase{DATA_SIZE_AT_MOST, 3, true, 3},
                                           SizeRuleCase{DATA_SIZE_AT_MOST, 0, true, 0},
                                           SizeRuleCase{DATA_SIZE_AT_MOST, 9, false, 0},
                                           SizeRuleCase{3, 8, false, 0}));

TEST(InfoNode, CopyRefusesNullArguments) {
    InfoNode *n = CreateInfoNode(nullptr, 1000, "AB", 2);
    char out[2];
    EXPECT_FALSE(CopyInfoNodeData(nullptr, out, 2, DATA_SIZE_EXACT));
    EXPECT_FALSE(CopyInfoNodeData(n, nullptr, 2, DATA_SIZE_EXACT));
    EXPECT_EQ(GetInfoNodeData(nullptr, 0, DATA_SIZE_AT_LEAST), nullptr);
    GlobalFree(n);
}

}  // namespace
