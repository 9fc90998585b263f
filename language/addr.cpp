// The remote string table request.
#include "language/addr.h"

#include "foundation/data_custom.h"
#include "foundation/device.h"
#include "foundation/dictionary_custom.h"
#include "foundation/global.h"
#include "foundation/http_custom.h"
#include "foundation/language_service.h"
#include "foundation/string_custom_payload.h"
#include "language/server_host.h"
#include "language/server_pages.h"

void Addr::stringTable(std::function<void(Value)> completion) {
    auto global = Global::shared();
    auto languages = global->lcode();
    std::optional<std::string> language = languages ? languages->getDevice() : std::nullopt;
    Value query = Value::dictionary({{"a", Value(global->appName())},
                                     {"version", Value(global->appVersion())},
                                     {"lang", Value(language.value_or(""))},
                                     {"p", Value(global->device()->IsIPad() ? "ipad" : "iphone")}});
    httpGET1(server_pages::pageRequest(server_pages::pageAddress(server_pages::kStringTablePath), query),
             [completion](std::optional<Bytes> body, std::shared_ptr<NSURLResponse>, std::shared_ptr<NSError>) {
                 if (!completion) return;
                 server_pages::readOffMainQueue<Value>(
                     [body = std::move(body)] {
                         std::optional<std::string> page = body ? string_utf8(*body) : std::nullopt;
                         std::optional<Value> payload = page ? server_pages::replyPayload(*page) : std::nullopt;
                         return payload.value_or(Value());
                     },
                     completion);
             });
}
