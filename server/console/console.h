#pragma once

// The maker's web console under /admin, on a listener of its own (ConsoleFront): sign-in, the
// published works (search, delete), the mutual-help records of a work, the feedback inbox, the
// latest version and the announcement.
//
// It is off (every address answers that no password is set) until the admin command
// set-console-password stores one. No page or action answers without a signed-in session; every
// action is a POST carrying the session's CSRF token; wrong passwords slow further attempts from
// the same address down. Sessions and the sign-in counts are kept in the store, so several server
// processes on one database behind one address are one console to the maker.

#include <httplib.h>

#include <functional>

#include "server/console/console_sessions.h"
#include "server/console/sign_in_throttle.h"
#include "server/store/store.h"

namespace yz::console {

// The largest announcement picture taken (the program reads the whole picture at every showing).
inline constexpr std::size_t kImageLimit = 1024 * 1024;
// Largest request body the console reads: the picture and the other fields of its form.
inline constexpr std::size_t kConsoleBodyLimit = kImageLimit + 64 * 1024;

class Console {
  public:
    // `clock` gives the seconds sessions and sign-in waits are counted in.
    explicit Console(server::Store& store, std::function<std::int64_t()> clock = WallSeconds)
        : store_(store), clock_(std::move(clock)), sessions_(store), throttle_(store) {}

    // Puts every /admin address on `http`. Call before any catch-all handler is bound.
    void Bind(httplib::Server& http);
    // `changed` runs after the console deleted a work (the pages keep the showcase built).
    void OnWorksChanged(std::function<void()> changed) { works_changed_ = std::move(changed); }

  private:
    struct Session {
        std::string id;
        std::string csrf;
    };

    // The caller's live session, or nullopt.
    std::optional<Session> FindSession(const httplib::Request& request);
    // True when the console has a password; otherwise answers with the "off" page.
    bool RequireOn(httplib::Response& response);
    // A signed-in GET: the session, or an answer sending the browser to the sign-in page.
    std::optional<Session> RequireSession(const httplib::Request& request, httplib::Response& response);
    // A signed-in POST: the session when its CSRF token came with the form, else a refusal.
    std::optional<Session> RequireAction(const httplib::Request& request, httplib::Response& response);

    void ShowSignIn(const httplib::Request& request, httplib::Response& response);
    void SignIn(const httplib::Request& request, httplib::Response& response);
    void SignOut(const httplib::Request& request, httplib::Response& response);
    void ShowWorks(const httplib::Request& request, httplib::Response& response);
    void DeleteWork(const httplib::Request& request, httplib::Response& response);
    void ShowRecords(const httplib::Request& request, httplib::Response& response);
    void ShowFeedback(const httplib::Request& request, httplib::Response& response);
    void MarkFeedbackRead(const httplib::Request& request, httplib::Response& response);
    void ShowVersion(const httplib::Request& request, httplib::Response& response);
    void SetVersion(const httplib::Request& request, httplib::Response& response);
    void ShowAnnouncement(const httplib::Request& request, httplib::Response& response);
    void SetAnnouncement(const httplib::Request& request, httplib::Response& response);
    // The announcement picture for the preview: the public pages are on another origin.
    void ShowPicture(const httplib::Request& request, httplib::Response& response);

    server::Store& store_;
    std::function<std::int64_t()> clock_;
    ConsoleSessions sessions_;
    SignInThrottle throttle_;
    std::function<void()> works_changed_;
};

}  // namespace yz::console
