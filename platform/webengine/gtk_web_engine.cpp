// The engine on the toolkit's web view: navigation, scripts, input and pictures.
#include "platform/webengine/gtk_web_engine.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cmath>
#include <utility>
#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/image/cg_image.h"
#include "platform/ui/controller/wk_web_view.h"

namespace {

// The toolkit's smooth scroll deltas count in steps of this many pixels.
constexpr double kPixelsPerScrollStep = 40;

std::string text(const gchar* s) {
    return s ? std::string(s) : std::string();
}

WKNavigationType navigationType(WebKitNavigationType type) {
    switch (type) {
        case WEBKIT_NAVIGATION_TYPE_LINK_CLICKED: return WKNavigationType::LinkActivated;
        case WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED: return WKNavigationType::FormSubmitted;
        case WEBKIT_NAVIGATION_TYPE_BACK_FORWARD: return WKNavigationType::BackForward;
        case WEBKIT_NAVIGATION_TYPE_RELOAD: return WKNavigationType::Reload;
        case WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED: return WKNavigationType::FormResubmitted;
        default: return WKNavigationType::Other;
    }
}

// A script's answer as a value: strings, numbers and booleans as themselves, null and undefined
// as null, anything else as its JSON text.
Value valueOf(JSCValue* v) {
    if (!v || jsc_value_is_null(v) || jsc_value_is_undefined(v)) return Value();
    if (jsc_value_is_boolean(v)) return Value(static_cast<bool>(jsc_value_to_boolean(v)));
    if (jsc_value_is_number(v)) return Value(jsc_value_to_double(v));
    gchar* s = jsc_value_is_string(v) ? jsc_value_to_string(v) : jsc_value_to_json(v, 0);
    Value out = s ? Value(std::string(s)) : Value();
    g_free(s);
    return out;
}

// Whether a failure only says that a newer load or a policy answer replaced this one.
bool isInterruption(const GError* error) {
    return g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
           g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE);
}

// Tells the engine whenever the page's focus moves, whether the focused element takes text.
constexpr const char* kFocusHandler = "pageFocus";
constexpr const char* kFocusScript =
    "(function(){function takesText(e){if(!e)return false;if(e.isContentEditable)return true;"
    "if(e.disabled||e.readOnly)return false;if(e.tagName=='TEXTAREA')return true;if(e.tagName!='INPUT')return false;"
    "return !/^(button|submit|reset|checkbox|radio|file|image|range|color|hidden)$/i.test(e.type);}"
    "function tell(){window.webkit.messageHandlers.pageFocus.postMessage(takesText(document.activeElement));}"
    "document.addEventListener('focusin',tell,true);"
    "document.addEventListener('focusout',function(){setTimeout(tell,0);},true);})();";

constexpr const char* kRedirectRefused =
    "The server sent this page on to an address that is not a web page, which cannot be opened here.";
constexpr const char* kProcessEnded = "The page's process ended before the page finished loading.";
constexpr const char* kProcessKeptEnding = "The page's process kept ending before the page could load.";

// How many times a load cut off by the end of the page's process is asked for again before it
// fails: a process that ends each time would otherwise have it asked for without end.
constexpr unsigned kTimesAskedAgain = 2;

int& liveEngines() {
    static int count = 0;
    return count;
}

GtkWebEngine::ProcessEndHold& heldUntil() {
    static GtkWebEngine::ProcessEndHold until = GtkWebEngine::ProcessEndHold::Off;
    return until;
}

int& endsHeard() {
    static int count = 0;
    return count;
}

struct ScriptCall {
    std::weak_ptr<int> life;
    std::function<void(const Value&, const std::string&)> completion;
};

}  // namespace

struct GtkWebEngine::Signals {
    static gboolean decide(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                           gpointer data) {
        auto* me = static_cast<GtkWebEngine*>(data);
        if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return decideResponse(me, decision);
        if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) me->takeUp();
        if (!me->events_.decide) return FALSE;
        auto* nav = WEBKIT_NAVIGATION_POLICY_DECISION(decision);
        WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(nav);
        std::string url = text(webkit_uri_request_get_uri(webkit_navigation_action_get_request(action)));
        auto kind = navigationType(webkit_navigation_action_get_navigation_type(action));
        std::weak_ptr<int> life = me->life_;
        if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
            // There are no other windows: a link meant for a new one opens here, if allowed.
            webkit_policy_decision_ignore(decision);
            me->events_.decide(url, kind, [me, life, url](WKNavigationActionPolicy p) {
                if (!life.expired() && p == WKNavigationActionPolicy::Allow) me->loadURL(url);
            });
            return TRUE;
        }
        g_object_ref(decision);
        // The answer may come later; the decision is kept until then and answered once.
        auto held = std::shared_ptr<WebKitPolicyDecision>(decision, [](WebKitPolicyDecision* d) { g_object_unref(d); });
        me->events_.decide(url, kind, [held, life](WKNavigationActionPolicy p) {
            if (life.expired()) return;
            if (p == WKNavigationActionPolicy::Allow)
                webkit_policy_decision_use(held.get());
            else
                webkit_policy_decision_ignore(held.get());
        });
        return TRUE;
    }

    // A reply the engine cannot show is not saved anywhere: a page's fails with its type, a frame's
    // stays empty.
    static gboolean decideResponse(GtkWebEngine* me, WebKitPolicyDecision* decision) {
        auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
        if (webkit_response_policy_decision_is_mime_type_supported(response)) return FALSE;
        if (!webkit_response_policy_decision_is_main_frame_main_resource(response)) {
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        std::string mime =
            text(webkit_uri_response_get_mime_type(webkit_response_policy_decision_get_response(response)));
        webkit_policy_decision_ignore(decision);
        me->failed_ = true;
        me->loading_ = false;
        me->answered();
        if (me->events_.failed) {
            me->events_.failed("This page is " + (mime.empty() ? std::string("unknown") : mime) +
                                   " content, which cannot be shown here.",
                               !me->committed_);
        }
        return TRUE;
    }

    static void loadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
        auto* me = static_cast<GtkWebEngine*>(data);
        switch (event) {
            case WEBKIT_LOAD_STARTED:
                me->started();
                if (me->events_.started) me->events_.started();
                me->reached(ProcessEndHold::UntilStarted);
                break;
            case WEBKIT_LOAD_COMMITTED:
                me->committed_ = true;
                me->answered();
                if (me->events_.committed) me->events_.committed();
                break;
            case WEBKIT_LOAD_FINISHED:
                me->loading_ = false;
                // The load that started last is over, interrupted ones too: nothing can refuse it now.
                me->answered();
                // A failed or interrupted load ends too, after its failure, which has said all there is.
                if (!me->failed_) me->finishWithTitle();
                break;
            default: break;
        }
    }

    static gboolean loadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError* error, gpointer data) {
        auto* me = static_cast<GtkWebEngine*>(data);
        me->failed_ = true;
        // A load a newer one replaced may still be refused: it stays unanswered until it ends.
        if (isInterruption(error)) return TRUE;
        me->loading_ = false;
        me->answered();
        if (me->events_.failed) me->events_.failed(text(error ? error->message : nullptr), !me->committed_);
        // Handled: the web view shows the reason, the toolkit shows no error page of its own.
        return TRUE;
    }

    // The toolkit reports the end of the page's process and nothing else: no failure, no end of
    // the load it cut off (see processEnded). An end the program asked for is its own doing.
    static void processTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer data) {
        auto* me = static_cast<GtkWebEngine*>(data);
        ++endsHeard();
        if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
        if (heldUntil() != ProcessEndHold::Off) {
            me->endHeld_ = true;
            return;
        }
        me->processEnded();
    }

    static void changed(GObject*, GParamSpec* property, gpointer data) {
        auto* me = static_cast<GtkWebEngine*>(data);
        if (std::string(g_param_spec_get_name(property)) == "title")
            me->title_ = text(webkit_web_view_get_title(me->view_));
        if (me->events_.changed) me->events_.changed();
    }

    static void focusMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer data) {
        auto* me = static_cast<GtkWebEngine*>(data);
        JSCValue* value = webkit_javascript_result_get_js_value(result);
        bool takesText = value && jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
        if (me->events_.focused) me->events_.focused(takesText);
    }

    static gboolean damaged(GtkWidget*, GdkEvent*, gpointer data) {
        auto* me = static_cast<GtkWebEngine*>(data);
        if (me->damaged_) return FALSE;
        me->damaged_ = true;
        std::weak_ptr<int> life = me->life_;
        RunLoop::main().perform([life, me] {
            if (!life.expired()) me->paintIfDamaged();
        });
        return FALSE;
    }

    static void scriptDone(GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<ScriptCall> call(static_cast<ScriptCall*>(data));
        GError* error = nullptr;
        JSCValue* answer = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
        Value value = error ? Value() : valueOf(answer);
        std::string why = error ? text(error->message) : std::string();
        if (error) g_error_free(error);
        if (answer) g_object_unref(answer);
        if (call->life.expired() || !call->completion) return;
        RunLoop::main().perform([completion = std::move(call->completion), value, why] { completion(value, why); });
    }
};

int GtkWebEngine::liveCount() {
    return liveEngines();
}

GtkWebEngine::GtkWebEngine(WKWebEngineEvents events) : events_(std::move(events)) {
    ++liveEngines();
    window_ = gtk_offscreen_window_new();
    view_ = WEBKIT_WEB_VIEW(webkit_web_view_new());
    WebKitSettings* settings = webkit_web_view_get_settings(view_);
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_settings_set_enable_javascript(settings, TRUE);
    g_signal_connect(view_, "decide-policy", G_CALLBACK(Signals::decide), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(Signals::loadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(Signals::loadFailed), this);
    g_signal_connect(view_, "notify::title", G_CALLBACK(Signals::changed), this);
    g_signal_connect(view_, "notify::uri", G_CALLBACK(Signals::changed), this);
    g_signal_connect(view_, "notify::estimated-load-progress", G_CALLBACK(Signals::changed), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(Signals::processTerminated), this);
    g_signal_connect(window_, "damage-event", G_CALLBACK(Signals::damaged), this);
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view_);
    g_signal_connect(content, (std::string("script-message-received::") + kFocusHandler).c_str(),
                     G_CALLBACK(Signals::focusMessage), this);
    webkit_user_content_manager_register_script_message_handler(content, kFocusHandler);
    WebKitUserScript* focusScript =
        webkit_user_script_new(kFocusScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(content, focusScript);
    webkit_user_script_unref(focusScript);
    gtk_container_add(GTK_CONTAINER(window_), GTK_WIDGET(view_));
    gtk_widget_set_size_request(window_, 1, 1);
    gtk_widget_show_all(window_);
}

GtkWebEngine::~GtkWebEngine() {
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(view_), this);
    g_signal_handlers_disconnect_by_data(view_, this);
    g_signal_handlers_disconnect_by_data(window_, this);
    webkit_web_view_stop_loading(view_);
    gtk_widget_destroy(window_);
    --liveEngines();
}

void GtkWebEngine::loadURL(const std::string& url) {
    ask([view = view_, url] { webkit_web_view_load_uri(view, url.c_str()); });
}

void GtkWebEngine::loadHTML(const std::string& html, const std::string& baseURL) {
    ask([view = view_, html, baseURL] {
        webkit_web_view_load_html(view, html.c_str(), baseURL.empty() ? nullptr : baseURL.c_str());
    });
}

void GtkWebEngine::reload() {
    ask([view = view_] { webkit_web_view_reload(view); });
}
void GtkWebEngine::goBack() {
    ask([view = view_] { webkit_web_view_go_back(view); });
}
void GtkWebEngine::goForward() {
    ask([view = view_] { webkit_web_view_go_forward(view); });
}
void GtkWebEngine::stop() {
    asked_ = Asked::Idle;
    askedFor_ = nullptr;
    webkit_web_view_stop_loading(view_);
}

void GtkWebEngine::ask(std::function<void()> request) {
    ++request_;
    askedAgain_ = 0;
    asked_ = Asked::Waiting;
    askedFor_ = request;
    request();
    reached(ProcessEndHold::UntilAsked);
}

// The engine takes a load up when it asks whether to go ahead with it: the load asked for is tied
// to it there, not at a start, which may be an earlier load's heard late. (A frame's question
// takes it up too; it then starts or is cut off like any other.)
void GtkWebEngine::takeUp() {
    if (asked_ != Asked::Waiting) return;
    asked_ = Asked::TakenUp;
    reached(ProcessEndHold::UntilTakenUp);
}

void GtkWebEngine::started() {
    committed_ = false;
    failed_ = false;
    loading_ = true;
    ++load_;
    startedOverUnanswered_ = unanswered_;
    unanswered_ = true;
    if (asked_ == Asked::TakenUp) asked_ = Asked::Started;
}

// The server answered the load that started last (it shows, or failed with its reason), or the
// load ended: the load asked for is settled, and nothing earlier can be refused any more.
void GtkWebEngine::answered() {
    unanswered_ = false;
    if (asked_ != Asked::Started) return;
    asked_ = Asked::Idle;
    askedFor_ = nullptr;
}

// A server's redirect to an address a page may not load (a file on this device) is refused by
// ending the page's process, which the toolkit reports as a crash and nothing else. The end cuts
// off whatever loads by then; it was the refusal of the load waiting for its first answer:
//  - the load asked for last that had not started, or started while an earlier load was still
//    unanswered (neither answered nor ended), was cut off by an earlier load's refusal: it is asked
//    for again in the new process (once the engine has let it go; a load that goes on in a process
//    of its own is left), a few times at most, then fails with a reason of its own;
//  - otherwise the end is the load's in flight own: unanswered, it was refused, and fails with the
//    refusal's reason; answered (shown, or its reply on its way), the process really ended under
//    it, and it fails with that.
// A refused load is never asked for again: it is asked for once, and its own end fails it.
void GtkWebEngine::processEnded() {
    const bool overUnanswered = std::exchange(startedOverUnanswered_, false);
    const bool wasUnanswered = std::exchange(unanswered_, false);
    std::weak_ptr<int> life = life_;
    // Told once the toolkit is done with the process, so that the view may load again at once.
    if (asked_ == Asked::Waiting || asked_ == Asked::TakenUp || (asked_ == Asked::Started && overUnanswered)) {
        RunLoop::main().perform([this, life, request = request_] {
            if (!life.expired()) askAgain(request);
        });
        return;
    }
    if (!loading_ || failed_) return;
    WebKitWebResource* page = webkit_web_view_get_main_resource(view_);
    const bool replied = committed_ || !wasUnanswered || (page && webkit_web_resource_get_response(page));
    RunLoop::main().perform(
        [this, life, load = load_, reason = replied ? kProcessEnded : kRedirectRefused, provisional = !committed_] {
            if (!life.expired()) failCutOff(load, reason, provisional);
        });
}

void GtkWebEngine::askAgain(unsigned request) {
    // Settled, or replaced by a newer request, since; or the engine goes on with it.
    if (request != request_ || asked_ == Asked::Idle || webkit_web_view_is_loading(view_)) return;
    if (askedAgain_ == kTimesAskedAgain) {
        failKeptEnding();
        return;
    }
    ++askedAgain_;
    asked_ = Asked::Waiting;
    askedFor_();
}

// Nothing of the load asked for was shown: its process ended each time before it could be.
void GtkWebEngine::failKeptEnding() {
    asked_ = Asked::Idle;
    askedFor_ = nullptr;
    unanswered_ = false;
    failed_ = true;
    loading_ = false;
    if (events_.failed) events_.failed(kProcessKeptEnding, true);
}

void GtkWebEngine::failCutOff(unsigned load, const char* reason, bool provisional) {
    // A load started since replaces this one.
    if (load != load_ || failed_ || !loading_) return;
    failed_ = true;
    loading_ = false;
    answered();
    if (events_.failed) events_.failed(reason, provisional);
}

void GtkWebEngine::holdProcessEnds(ProcessEndHold until) {
    heldUntil() = until;
}

int GtkWebEngine::processEndsHeard() {
    return endsHeard();
}

void GtkWebEngine::reached(ProcessEndHold point) {
    if (!endHeld_ || heldUntil() != point) return;
    endHeld_ = false;
    // The load that reached the point runs in the process the held end would have ended.
    webkit_web_view_terminate_web_process(view_);
    processEnded();
}

std::string GtkWebEngine::URL() const {
    return text(webkit_web_view_get_uri(view_));
}
std::string GtkWebEngine::title() const {
    return title_;
}

// The page's title reaches the toolkit a little after the load ends; the finish waits for it so
// that whoever hears of the finish reads the finished page's title.
void GtkWebEngine::finishWithTitle() {
    std::weak_ptr<int> life = life_;
    unsigned load = load_;
    evaluateJavaScript("document.title", [this, life, load](const Value& answer, const std::string&) {
        if (life.expired() || load != load_) return;
        if (answer.isString()) title_ = answer.stringValue();
        if (events_.finished) events_.finished();
    });
}
double GtkWebEngine::progress() const {
    return webkit_web_view_get_estimated_load_progress(view_);
}
bool GtkWebEngine::canGoBack() const {
    return webkit_web_view_can_go_back(view_);
}
bool GtkWebEngine::canGoForward() const {
    return webkit_web_view_can_go_forward(view_);
}

void GtkWebEngine::evaluateJavaScript(const std::string& script,
                                      std::function<void(const Value&, const std::string&)> completion) {
    auto* call = new ScriptCall{life_, std::move(completion)};
    webkit_web_view_evaluate_javascript(view_, script.data(), static_cast<gssize>(script.size()), nullptr, nullptr,
                                        nullptr, Signals::scriptDone, call);
}

void GtkWebEngine::setViewport(CGSize size, CGFloat scale) {
    scale_ = scale > 0 ? scale : 1;
    sized_ = true;
    int w = std::max(1, static_cast<int>(std::lround(size.width * scale_)));
    int h = std::max(1, static_cast<int>(std::lround(size.height * scale_)));
    // The page lays out in points and paints at the screen's pixels.
    webkit_web_view_set_zoom_level(view_, scale_);
    gtk_widget_set_size_request(window_, w, h);
    gtk_window_resize(GTK_WINDOW(window_), w, h);
}

void GtkWebEngine::sendButton(CGPoint point) {
    GdkWindow* target = gtk_widget_get_window(GTK_WIDGET(view_));
    if (!target) return;
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(window_)));
    double x = point.x * scale_, y = point.y * scale_;
    guint32 time = static_cast<guint32>(g_get_monotonic_time() / 1000);
    auto send = [&](GdkEventType type) {
        GdkEvent* e = gdk_event_new(type);
        if (type == GDK_MOTION_NOTIFY) {
            e->motion.window = GDK_WINDOW(g_object_ref(target));
            e->motion.x = e->motion.x_root = x;
            e->motion.y = e->motion.y_root = y;
            e->motion.time = time;
        } else {
            e->button.window = GDK_WINDOW(g_object_ref(target));
            e->button.x = e->button.x_root = x;
            e->button.y = e->button.y_root = y;
            e->button.button = 1;
            e->button.time = time;
            e->button.state = type == GDK_BUTTON_RELEASE ? GDK_BUTTON1_MASK : 0;
        }
        gdk_event_set_device(e, pointer);
        gdk_event_set_source_device(e, pointer);
        gtk_main_do_event(e);
        gdk_event_free(e);
    };
    send(GDK_MOTION_NOTIFY);
    send(GDK_BUTTON_PRESS);
    send(GDK_BUTTON_RELEASE);
}

void GtkWebEngine::tap(CGPoint point) {
    gtk_widget_grab_focus(GTK_WIDGET(view_));
    sendButton(point);
}

void GtkWebEngine::scrollBy(CGPoint delta) {
    GdkWindow* target = gtk_widget_get_window(GTK_WIDGET(view_));
    if (!target) return;
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(window_)));
    GdkEvent* e = gdk_event_new(GDK_SCROLL);
    e->scroll.window = GDK_WINDOW(g_object_ref(target));
    e->scroll.x = e->scroll.x_root = gtk_widget_get_allocated_width(GTK_WIDGET(view_)) / 2.0;
    e->scroll.y = e->scroll.y_root = gtk_widget_get_allocated_height(GTK_WIDGET(view_)) / 2.0;
    e->scroll.direction = GDK_SCROLL_SMOOTH;
    e->scroll.delta_x = delta.x * scale_ / kPixelsPerScrollStep;
    e->scroll.delta_y = delta.y * scale_ / kPixelsPerScrollStep;
    e->scroll.time = static_cast<guint32>(g_get_monotonic_time() / 1000);
    gdk_event_set_device(e, pointer);
    gdk_event_set_source_device(e, pointer);
    gtk_main_do_event(e);
    gdk_event_free(e);
}

void GtkWebEngine::insertText(const std::string& text) {
    webkit_web_view_execute_editing_command_with_argument(view_, "InsertText", text.c_str());
}

void GtkWebEngine::deleteBackward() {
    webkit_web_view_execute_editing_command(view_, "DeleteBackward");
}

void GtkWebEngine::pressReturn() {
    webkit_web_view_execute_editing_command(view_, "InsertNewline");
}

void GtkWebEngine::paintIfDamaged() {
    if (!damaged_) return;
    damaged_ = false;
    // Before the page area has a size there is only the window's own background to show.
    if (!sized_) return;
    cairo_surface_t* source = gtk_offscreen_window_get_surface(GTK_OFFSCREEN_WINDOW(window_));
    int w = gtk_widget_get_allocated_width(window_), h = gtk_widget_get_allocated_height(window_);
    if (!source || w <= 0 || h <= 0 || !events_.painted) return;
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(copy);
    auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(copy));
    const auto* data = cairo_image_surface_get_data(copy);
    std::vector<std::uint8_t> pixels(data, data + stride * static_cast<std::size_t>(h));
    cairo_surface_destroy(copy);
    events_.painted(CGImage::create(w, h, stride, std::move(pixels), nullptr, CGImagePixelLayout::BGRA8Premultiplied));
}
