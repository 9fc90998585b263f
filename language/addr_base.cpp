// The address book's requests: superseding by halt ids, one retry for URLs that were not final.
#include "language/addr_base.h"

#include "foundation/dictionary_custom.h"
#include "foundation/http_custom.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/dispatch/queue.h"

std::shared_ptr<LastInfo> AddrBase::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath("Global.Addr.2"));
    return lastInfo_;
}

Value AddrBase::dict() {
    if (dict_.isNull()) {
        Value stored = lastInfo()->get("dict");
        dict_ = stored.isDictionary() ? stored : Value::dictionary();
    }
    return dict_;
}

Value AddrBase::haltids() {
    if (haltids_.isNull()) haltids_ = Value::dictionary();
    return haltids_;
}

std::string AddrBase::halt0(const std::string& key) {
    Value ids = haltids()[key];
    if (ids.isDictionary()) {
        for (const std::string& id : ids.dictionaryPtr()->keys()) ids.set(id, Value(true));
    } else {
        ids = Value::dictionary();
        haltids().set(key, ids);
    }
    std::size_t n = ids.count();
    while (ids.dictionaryPtr()->contains(std::to_string(n))) ++n;
    std::string id = std::to_string(n);
    ids.set(id, Value(false));
    return id;
}

bool AddrBase::halt1(const std::string& key, const std::string& haltkey) {
    Value ids = haltids()[key];
    if (!ids.isDictionary()) return false;
    bool superseded = ids[haltkey].boolValue();
    ids.dictionaryPtr()->remove(haltkey);
    return superseded;
}

void AddrBase::received(std::optional<Bytes> body, bool final, bool retried, const std::string& key,
                        const std::string& haltkey, const Value& input, ReplyBlock block, const Attempt& again) {
    if (halt1(key, haltkey)) return;
    if (final || body) {
        if (block) block(std::move(body));
        return;
    }
    if (!retried) {
        // The stored book may be stale: forget when it was fetched and ask once more.
        lastInfo()->removeObjectForKey("at");
        again(true, key, haltkey, input, std::move(block));
        return;
    }
    if (block) block(std::nullopt);
}

void AddrBase::get(const std::string& key, const Value& input, ReplyBlock block) {
    get0(false, key, halt0(key), input, std::move(block));
}

void AddrBase::attempt(bool retried, const std::string& key, const std::string& haltkey, const Value& input,
                       ReplyBlock block, Send send, Attempt again) {
    auto me = self<AddrBase>();
    url(key, [me, retried, key, haltkey, input, block, send, again](std::optional<std::string> address, bool final) {
        if (!address) {
            me->halt1(key, haltkey);
            if (block) block(std::nullopt);
            return;
        }
        send(*address, input,
             [me, final, retried, key, haltkey, input, block, again](
                 std::optional<Bytes> body, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError>) {
                 me->received(std::move(body), final, retried, key, haltkey, input, block, again);
             });
    });
}

void AddrBase::get0(bool retried, const std::string& key, const std::string& haltkey, const Value& input,
                    ReplyBlock block) {
    auto me = self<AddrBase>();
    attempt(
        retried, key, haltkey, input, std::move(block),
        [](const std::string& address, const Value& query, HTTPHandler handler) {
            httpGET1(query.isDictionary() ? address + "?" + queryString(query) : address, std::move(handler));
        },
        [me](bool r, const std::string& k, const std::string& h, const Value& i, ReplyBlock b) {
            me->get0(r, k, h, i, std::move(b));
        });
}

void AddrBase::post(const std::string& key, const Value& input, ReplyBlock block) {
    post0(false, key, halt0(key), input, std::move(block));
}

void AddrBase::post0(bool retried, const std::string& key, const std::string& haltkey, const Value& input,
                     ReplyBlock block) {
    auto me = self<AddrBase>();
    attempt(
        retried, key, haltkey, input, std::move(block),
        [](const std::string& address, const Value& body, HTTPHandler handler) {
            httpPOST1(address, "application/json", jsonData(body).value_or(Bytes()), std::move(handler));
        },
        [me](bool r, const std::string& k, const std::string& h, const Value& i, ReplyBlock b) {
            me->post0(r, k, h, i, std::move(b));
        });
}

std::optional<std::string> AddrBase::pdata(const std::string& key, const Value& input, std::string_view contentType,
                                           Bytes data, bool noti, ReplyBlock block) {
    std::string haltkey = halt0(key);
    Value address = valueForKey1(dict(), key);
    if (!address.isString()) {
        // No URL for the key: nothing to send.
        halt1(key, haltkey);
        if (block) block(std::nullopt);
        return std::nullopt;
    }
    std::string full = *address.string() + "?" + queryString(input);
    auto me = self<AddrBase>();
    httpPOST2(full, contentType, std::move(data), noti,
              [me, key, haltkey, block](std::optional<Bytes> body, std::shared_ptr<NSURLResponse>,
                                        std::shared_ptr<NSError> error) {
                  if (me->halt1(key, haltkey)) return;
                  if (block) block(error ? std::nullopt : std::move(body));
              });
    return full;
}

void AddrBase::stringTable(std::function<void(Value)> completion) {
    if (completion) dispatch_async(dispatch_get_main_queue(), [completion] { completion(Value()); });
}
