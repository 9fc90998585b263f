// AddrBase: the client side of the maker's server. Requests are named by a key (an endpoint of
// the address book), a newer request for a key silently supersedes an older one still in flight,
// and a request whose URL came from a stored book may be retried once after the book's fetch
// time was dropped. The base uses each key as its own URL; a subclass keeping a real book
// overrides the resolver hooks.
//
// Main-thread only: the halt ids are written by callers and by reply handlers on the main queue.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/addr_service.h"
#include "foundation/http_custom.h"
#include "platform/runtime/value.h"

class LastInfo;

class AddrBase : public AddrService {
public:
    KORVA_MAKE(AddrBase)

    // The reply body, or none when there is none.
    using ReplyBlock = std::function<void(std::optional<Bytes>)>;
    // The URL for a key (none: the request fails at once) and whether it is final (no retry).
    using URLBlock = std::function<void(std::optional<std::string> url, bool final)>;

    // The address-book store "Global.Addr.2" in the Library folder; the base never saves it.
    std::shared_ptr<LastInfo> lastInfo();
    // Key to URL string, from the store's "dict"; empty when the store has none.
    Value dict();
    // Key to a dictionary of halt id to superseded flag.
    Value haltids();

    // Hooks for a subclass that keeps a real book. The base needs no update, never calls the
    // update block, and resolves a key to itself, final, at once on the caller's thread.
    virtual bool isUpdateRequired() { return false; }
    virtual void update(std::function<void()> /*completion*/) {}
    virtual void url(const std::string& key, const URLBlock& block) { block(key, true); }

    // Supersedes every request in flight for the key and returns a new halt id.
    std::string halt0(const std::string& key);
    // Releases the id; true when its request was superseded.
    bool halt1(const std::string& key, const std::string& haltkey);

    // GET with the query dictionary (may be null); the block runs on the main queue unless superseded.
    void get(const std::string& key, const Value& input, ReplyBlock block);
    void get0(bool retried, const std::string& key, const std::string& haltkey, const Value& input, ReplyBlock block);
    // POST of the dictionary as JSON.
    void post(const std::string& key, const Value& input, ReplyBlock block);
    void post0(bool retried, const std::string& key, const std::string& haltkey, const Value& input, ReplyBlock block);
    // POST of raw bytes through the upload service, to the book's URL for the key with the query.
    // Returns the URL used; for a key the book lacks nothing is sent, the block gets none at once
    // and the result is none.
    std::optional<std::string> pdata(const std::string& key, const Value& input, std::string_view contentType,
                                     Bytes data, bool noti, ReplyBlock block);

    // The base keeps no string table: none, on the main queue.
    void stringTable(std::function<void(Value)> completion) override;

    std::string className() const override { return "AddrBase"; }

protected:
    AddrBase() = default;

private:
    using Attempt = std::function<void(bool retried, const std::string& key, const std::string& haltkey,
                                       const Value& input, ReplyBlock block)>;
    // Sends one request to a resolved address; the handler gets the reply on the main queue.
    using Send = std::function<void(const std::string& address, const Value& input, HTTPHandler handler)>;
    // Resolves the key and sends; a key without a URL fails at once.
    void attempt(bool retried, const std::string& key, const std::string& haltkey, const Value& input, ReplyBlock block,
                 Send send, Attempt again);
    // One attempt's reply: drops a superseded one, retries once through `again` when the URL was
    // not final.
    void received(std::optional<Bytes> body, bool final, bool retried, const std::string& key,
                  const std::string& haltkey, const Value& input, ReplyBlock block, const Attempt& again);

    std::shared_ptr<LastInfo> lastInfo_;
    Value dict_;
    Value haltids_;
};
