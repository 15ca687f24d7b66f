// A printer information record as one line of text, so that tests can
// state what a record must hold as a short string.
#ifndef LUMA_TESTS_RECORD_TEXT_H
#define LUMA_TESTS_RECORD_TEXT_H

#include <LUMAstat.h>

#include <string>

// Lists and fields that are not empty or zero, in record order, for example
// "trays=[5:size8,level60,media1,flags0x1] bins=[1:2] dev=[1,3]".
std::string DescribeRecord(const PrnInfoEx &info);

// Releases every item and slot string, as a monitor program does, and zeroes
// the record again (keeping dwVersion).
void ReleaseRecord(PrnInfoEx &info);

// Releases a node tree, every node its own block, as a monitor program does.
void ReleaseTree(InfoNode *node);

// True when every list's count equals the items reachable from its head.
bool CountsMatchLists(const PrnInfoEx &info);

#endif
