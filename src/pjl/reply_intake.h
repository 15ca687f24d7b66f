// Reply intake: checks that a CentroData tree answers its query, then feeds
// every reply text and device ID into the record.
#ifndef LUMA_PJL_REPLY_INTAKE_H
#define LUMA_PJL_REPLY_INTAKE_H

#include <LUMAstat.h>

#define PJL_CHECK_TOKEN_SIZE 100

// 0, PAT_ERR_REPLY, or 13 when the query text cannot be scanned.
DWORD CompareQueryAndReply(const char *query, const char *reply);

// 0, 87, PAT_ERR_REPLY or 13.
DWORD CheckReply(const InfoNode *root);

// 0 or the code of the first failure (87, PAT_ERR_REPLY, 13, 8).
DWORD TakeReply(const InfoNode *root, PrnInfoEx *info);

#endif
