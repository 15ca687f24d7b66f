#include "reply_intake.h"

#include <string.h>

#include "../model/info_node.h"
#include "device_id.h"
#include "keyword_dispatch.h"
#include "reply_scanner.h"

namespace {

constexpr DWORD kEmulClassTesl = 15;

// A node's text, read no further than its cbData bytes: a text without its
// NUL inside the block ends where the block ends.
class NodeText {
public:
    explicit NodeText(const InfoNode *node) {
        const char *data = reinterpret_cast<const char *>(INFO_NODE_DATA(node));
        if (node->cbData == 0 || memchr(data, '\0', node->cbData) != nullptr) {
            text_ = node->cbData ? data : "";
            return;
        }
        copy_ = static_cast<char *>(GlobalAlloc(GMEM_FIXED, node->cbData + 1));
        if (copy_ == nullptr) return;
        memcpy(copy_, data, node->cbData);
        copy_[node->cbData] = '\0';
        text_ = copy_;
    }
    ~NodeText() {
        if (copy_ != nullptr) GlobalFree(copy_);
    }
    NodeText(const NodeText &) = delete;
    NodeText &operator=(const NodeText &) = delete;
    // NULL when a copy was needed and could not be made.
    const char *Get() const { return text_; }

private:
    const char *text_ = nullptr;
    char *copy_ = nullptr;
};

const InfoNode *FirstChild(const InfoNode *node, LONG id) { return FindInfoNode(GetFirstChildNode(node), id); }

// The category words of a query, a batch at a time, each marked when the
// reply answers it: one pass over the reply serves the whole batch.
struct WordBatch {
    static constexpr int kWords = 64;
    char words[kWords][PJL_CHECK_TOKEN_SIZE];
    bool answered[kWords];
    int count = 0;
};

// A word is answered when it is the category word of an "@PJL" line of the
// reply, read before the reply's scanner fails or ends, and a form feed
// follows it somewhere later in the reply.
void MarkAnswers(WordBatch &batch, const char *reply) {
    const char *lastFormFeed = strrchr(reply, '\f');
    for (int i = 0; i < batch.count; ++i) batch.answered[i] = false;
    PjlReplyScanner scanner;
    ResetPjlReplyScanner(&scanner, reply);
    char token[PJL_CHECK_TOKEN_SIZE];
    int open = batch.count;
    while (open > 0) {
        DWORD kind = 0;
        if (NextPjlToken(&scanner, token, sizeof token, &kind) != ERROR_SUCCESS || kind == PJL_TOKEN_END) return;
        if (kind != PJL_TOKEN_CATEGORY) continue;
        const bool formFeedAfter = lastFormFeed != nullptr && lastFormFeed >= scanner.pszCursor;
        for (int i = 0; i < batch.count; ++i) {
            if (batch.answered[i] || strcmp(batch.words[i], token) != 0) continue;
            // Only the first occurrence is looked at, as a search from the start would.
            batch.answered[i] = formFeedAfter;
            batch.words[i][0] = '\x01';  // settled either way
            if (formFeedAfter) --open;
        }
    }
}

}  // namespace

DWORD CompareQueryAndReply(const char *query, const char *reply) {
    PjlReplyScanner scanner;
    ResetPjlReplyScanner(&scanner, query);
    WordBatch batch;
    DWORD queryEnd = ERROR_SUCCESS;
    bool more = true;
    while (more) {
        batch.count = 0;
        while (batch.count < WordBatch::kWords) {
            DWORD kind = 0;
            if (NextPjlToken(&scanner, batch.words[batch.count], PJL_CHECK_TOKEN_SIZE, &kind) != ERROR_SUCCESS) {
                queryEnd = ERROR_INVALID_DATA;
                more = false;
                break;
            }
            if (kind == PJL_TOKEN_END) {
                more = false;
                break;
            }
            if (kind == PJL_TOKEN_CATEGORY) ++batch.count;
        }
        MarkAnswers(batch, reply);
        // Words in query order: an unanswered one fails the reply before a
        // later scanner error of the query is seen.
        for (int i = 0; i < batch.count; ++i)
            if (!batch.answered[i]) return PAT_ERR_REPLY;
    }
    return queryEnd;
}

DWORD CheckReply(const InfoNode *root) {
    LONG id = 0;
    if (!GetInfoNodeInfo(root, &id, nullptr) || (id != INFO_REPLY_ROOT && id != INFO_EMUL_REPLY_ROOT))
        return ERROR_INVALID_PARAMETER;
    const InfoNode *query = FirstChild(root, INFO_QUERY_ROOT);
    if (query == nullptr) return ERROR_SUCCESS;
    if (FirstChild(query, INFO_DEVICE_ID) != nullptr) {
        const InfoNode *deviceId = FirstChild(root, INFO_DEVICE_ID);
        if (deviceId == nullptr || deviceId->cbData == 0) return PAT_ERR_REPLY;
    }
    const InfoNode *queryText = FirstChild(query, INFO_PJL_TEXT);
    if (queryText == nullptr) return ERROR_SUCCESS;
    const InfoNode *replyText = FirstChild(root, INFO_PJL_TEXT);
    if (replyText == nullptr || replyText->cbData == 0) return PAT_ERR_REPLY;
    NodeText q(queryText), r(replyText);
    if (q.Get() == nullptr || r.Get() == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    return CompareQueryAndReply(q.Get(), r.Get());
}

DWORD TakeReply(const InfoNode *root, PrnInfoEx *info) {
    if (info->dwVersion < PRNINFOEX_MIN_VERSION) return ERROR_INVALID_PARAMETER;
    DWORD code = CheckReply(root);
    if (code != ERROR_SUCCESS) return code;
    if (root->id == INFO_EMUL_REPLY_ROOT) {
        DWORD emulClass = 0;
        if (!CopyInfoNodeData(root, &emulClass, sizeof emulClass, DATA_SIZE_EXACT) || emulClass != kEmulClassTesl)
            return ERROR_INVALID_PARAMETER;
    }
    for (const InfoNode *child = GetFirstChildNode(root); child != nullptr; child = GetNextSiblingNode(child)) {
        if (child->id != INFO_PJL_TEXT && child->id != INFO_DEVICE_ID) continue;
        if (child->cbData == 0) return ERROR_INVALID_PARAMETER;
        NodeText text(child);
        if (text.Get() == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
        if (child->id == INFO_PJL_TEXT) {
            WalkPjlReply(info, ModelKeywordTable, text.Get());
        } else {
            code = ParseDeviceId(text.Get(), info);
            if (code != ERROR_SUCCESS) return code;
        }
    }
    return ERROR_SUCCESS;
}
