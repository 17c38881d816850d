#pragma once

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <plist/plist.h>
#include <webkit/webkit.h>

#include "GuiTest.h"
#include "TestServer.h"
#include "store/VeskStore.h"

namespace vesk::test {

using Strings = std::vector<std::string>;
using PlistPtr = std::unique_ptr<void, decltype(&plist_free)>;

// The real window, in a fresh home, with a test server on 127.0.0.1 serving the
// pages /Alpha, /Bravo, /Charlie and /Alphabet, each titled with its name.
class BrowsingFixture : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        server = std::make_unique<TestServer>();
        for (const std::string name : {"Alpha", "Bravo", "Charlie", "Alphabet"})
            server->addPage("/" + name, htmlPage(name));
    }
    void TearDown() override {
        // The web views go before the server that may still be answering them.
        GuiTest::TearDown();
        server.reset();
    }

    // The user types `text` into the address field and presses Return.
    void typeAndReturn(const std::string& text) {
        addressEntry().grab_focus();
        addressEntry().set_text(text);
        pressReturn();
    }
    void pressReturn() { g_signal_emit_by_name(addressEntry().gobj(), "activate"); }
    bool waitForTitle(Tab& tab, const std::string& title) {
        return waitUntil([&] { return tab.titleButton().get_label().raw() == title; });
    }
    // Loads the server's page `name` through the address field and waits for the
    // current tab to show `title`, the name itself unless told.
    void openPage(const std::string& name, std::string title = "") {
        Tab& current = *app->tabs().current();
        typeAndReturn(server->url("/" + name));
        ASSERT_TRUE(waitForTitle(current, title.empty() ? name : title)) << name << " never came";
    }
    // Loads an address where nothing listens (a server's that closed as it went), lets
    // the engine's error page show and returns the address.
    std::string loadRefused() {
        const std::string address = TestServer().url("/");
        typeAndReturn(address);
        EXPECT_TRUE(waitUntil([&] { return web().url() == address && !web().isLoading(); }));
        settle();
        return address;
    }
    // Waits until the page has answered a script sent after everything so far, so that what
    // its web process sent before has arrived, and the window has drawn it.
    void settle() {
        evaluate("0");
        waitForRedraw();
    }
    // Whether `happens` stays false while the engine would have had ample time to bring it
    // about: for what a test must see not happen.
    bool staysFalse(const std::function<bool()>& happens) {
        return !waitUntil(happens, kQuietPeriod);
    }
    static constexpr std::chrono::milliseconds kQuietPeriod{400};
    // Real keys from the X server, as xdotool names them ("Page_Down",
    // "ctrl+h"), with the pointer over the web area so that the window has the
    // keyboard; a test cannot deliver keys through the toolkit's accelerators.
    void pressKeys(const std::string& keys) {
        double x = 0, y = 0;
        app->window().webContainer().translate_coordinates(window(), 100, 100, x, y);
        const std::string command = "xdotool mousemove " + std::to_string(int(x)) + " " +
                                    std::to_string(int(y)) + " key " + keys;
        ASSERT_EQ(std::system(command.c_str()), 0) << "needs xdotool";
    }
    // Whether the keyboard is in `widget` or in a part of it.
    bool hasKeyboard(Gtk::Widget& widget) {
        Gtk::Widget* focus = window().get_focus();
        return focus && (focus == &widget || focus->is_ancestor(widget));
    }

    Gtk::MessageDialog* alert() { return app->window().alerts().openAlert(); }
    // Presses the open alert's button with `label`.
    void answerAlert(const std::string& label) {
        ASSERT_NE(alert(), nullptr);
        for (auto* button : descendants<Gtk::Button>(*alert()))
            if (button->get_label().raw() == label)
                return click(*button);
        ADD_FAILURE() << "no alert button " << label;
    }

    WebView& web() { return app->tabs().current()->web(); }
    // Runs `script` in the current page's own world, as if the user had done it.
    void runScript(const std::string& script) {
        webkit_web_view_evaluate_javascript(web().raw(), script.c_str(), -1, nullptr, nullptr,
                                            nullptr, nullptr, nullptr);
    }
    // The value of `expression`, run in the current page's own world, as text;
    // empty when it throws.
    std::string evaluate(const std::string& expression) {
        struct Answer {
            bool done = false;
            std::string text;
        };
        auto answer = std::make_shared<Answer>();
        webkit_web_view_evaluate_javascript(
            web().raw(), expression.c_str(), -1, nullptr, nullptr, nullptr,
            [](GObject* view, GAsyncResult* result, gpointer data) {
                std::unique_ptr<std::shared_ptr<Answer>> held(
                    static_cast<std::shared_ptr<Answer>*>(data));
                if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(
                        WEBKIT_WEB_VIEW(view), result, nullptr)) {
                    char* text = jsc_value_to_string(value);
                    (*held)->text = text ? text : "";
                    g_free(text);
                    g_object_unref(value);
                }
                (*held)->done = true;
            },
            new std::shared_ptr<Answer>(answer));
        EXPECT_TRUE(waitUntil([&] { return answer->done; })) << expression;
        return answer->text;
    }
    std::string addressText() { return addressEntry().get_text(); }
    // The store's file `name`, read straight from disk so that tests check what the
    // store really wrote: its root when of `type`, null when missing, a failure otherwise.
    PlistPtr storedFile(const char* name, plist_type type) {
        // The store writes on a thread of its own: what it was given is on disk first.
        VeskStore::shared().writePending(std::chrono::seconds(3));
        std::ifstream in(home->dataDir() / "Vesk" / name, std::ios::binary);
        const std::string data{std::istreambuf_iterator<char>(in), {}};
        plist_t root = nullptr;
        if (in)
            plist_from_memory(data.data(), static_cast<uint32_t>(data.size()), &root);
        PlistPtr owned(root, plist_free);
        if (in && plist_get_node_type(root) != type) {
            ADD_FAILURE() << name << " is not the expected kind of property list";
            owned.reset();
        }
        return owned;
    }
    // A stored dictionary's string at `key`, or "<absent>" when there is none.
    static std::string stringAt(plist_t dict, const char* key) {
        plist_t node = plist_dict_get_item(dict, key);
        return plist_get_node_type(node) == PLIST_STRING ? plist_get_string_ptr(node, nullptr)
                                                         : "<absent>";
    }
    // The history file's entries, newest first, as "url title" with the server's own
    // pages shortened to their paths; each must be dated, in seconds since 1970, within
    // the test.
    Strings recorded() {
        Strings entries;
        PlistPtr root = storedFile("history.plist", PLIST_ARRAY);
        for (uint32_t i = 0; root && i < plist_array_get_size(root.get()); ++i) {
            plist_t item = plist_array_get_item(root.get(), i),
                    date = plist_dict_get_item(item, "date");
            std::string url = stringAt(item, "url");
            double seconds = 0;
            if (plist_get_node_type(date) == PLIST_REAL)
                plist_get_real_val(date, &seconds);
            EXPECT_TRUE(seconds > started - 1 && seconds < g_get_real_time() / 1e6 + 1)
                << url << " dated " << seconds;
            if (url.starts_with(server->url("/")))
                url.erase(0, server->url("").size());
            entries.push_back(url + " " + stringAt(item, "title"));
        }
        return entries;
    }

    std::unique_ptr<TestServer> server;
    const double started = g_get_real_time() / 1e6;
};

} // namespace vesk::test
