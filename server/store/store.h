#pragma once

// Where yanzhou-server keeps what the program sends and what the maker sets. The pages, the admin
// commands and the web console are written against this interface only; each storage engine
// (SQLite for one machine, a shared database for several server processes) implements it.
//
// Every text is stored and returned as the exact bytes the program sent (GBK); nothing is
// converted, trimmed or re-encoded. The pages check the fields before they reach a store, so a
// store keeps whatever it is given.
//
// Operations never throw. A failure of the storage itself (database gone, disk full, busy beyond
// the wait) is reported as false or an empty optional; the caller answers with a failure then.
// Every implementation is safe to call from many threads at once.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace yz::server {

// A published work as the showcase lists it.
struct Work {
    std::int64_t id = 0;  // grows with every publish: a larger id is a newer work
    std::string pen_name;
    std::string work_name;
    std::string motto;
    std::string link;
    std::string address;            // the publisher's network address, for moderation
    std::int64_t published_at = 0;  // seconds since 1970-01-01 UTC
};

// The works stamp and, read in the same snapshot, the works published since a given one.
struct WorksSince {
    std::int64_t stamp = 0;
    std::vector<Work> works;  // newest first
};

// One suggestion sent through the program's feedback window.
struct Feedback {
    std::int64_t id = 0;  // grows with every submission
    std::string nickname;
    std::string text;  // may hold line breaks
    std::string address;
    std::int64_t sent_at = 0;  // seconds since 1970-01-01 UTC
    bool read = false;         // the maker has marked it as read in the console
};

// The picture announcement. The program shows it only while `shown` is set; the image is served
// under its own path, named after `image_type` ("jpg", "png", "gif", "bmp"; empty: no image).
struct Announcement {
    std::string image;
    std::string image_type;
    std::string link;
    bool shown = false;
};

// A signed-in web console session. The store knows it only by a hash of the identifier the
// browser holds, so a copy of the database signs nobody in.
struct ConsoleSession {
    std::string id_hash;
    std::string csrf;
    std::string password_hash;  // the console password it was made under
    std::int64_t started = 0;
    std::int64_t last_seen = 0;
};

// The console's count of one address's sign-in attempts.
struct SignInCount {
    int failures = 0;
    std::int64_t last = 0;             // the last attempt
    std::int64_t next_allowed = 0;     // no attempt is looked at before this
    std::int64_t in_flight_until = 0;  // a check of this address runs until then (0: none)
};

class Store {
  public:
    virtual ~Store() = default;

    // Works, newest first. ListWorks gives at most `limit` works whose id is below `before_id`
    // (0: from the newest on), so callers page through by passing the last id they got.
    virtual std::optional<std::int64_t> AddWork(const Work& work) = 0;  // ignores id, stamps the time
    virtual std::optional<std::vector<Work>> ListWorks(std::int64_t before_id, std::size_t limit) = 0;
    // true when the work existed and is gone, false when there was no such work.
    virtual std::optional<bool> DeleteWork(std::int64_t id) = 0;
    // The works stamp, a number that moves by one for every work added or deleted by any process
    // on the database once that change is committed, with the works whose id is above `after_id`
    // (at most `limit`, newest first) as one snapshot saw them. A list kept from an earlier call
    // is current when the stamp moved by exactly the number of works it gets now: then nothing
    // was deleted and nothing it holds changed. One cheap read when nothing did.
    virtual std::optional<WorksSince> WorksAfter(std::int64_t after_id, std::size_t limit) = 0;

    // Mutual-help records: the pen names that visited a work link, oldest first. Adding a pen
    // name already recorded for that link succeeds and keeps the one record.
    virtual bool AddRecord(const std::string& link, const std::string& pen_name) = 0;
    virtual std::optional<std::vector<std::string>> ListRecords(const std::string& link, std::size_t limit) = 0;

    // Feedback, newest first, paged like the works.
    virtual std::optional<std::int64_t> AddFeedback(const Feedback& feedback) = 0;  // ignores id, stamps the time
    virtual std::optional<std::vector<Feedback>> ListFeedback(std::int64_t before_id, std::size_t limit) = 0;
    virtual std::optional<bool> DeleteFeedback(std::int64_t id) = 0;
    // true when the feedback existed (read before or not), false when there was no such feedback.
    virtual std::optional<bool> MarkFeedbackRead(std::int64_t id) = 0;

    // The newest published version of the program as decimal text ("4.3"); empty until set.
    virtual std::optional<std::string> LatestVersion() = 0;
    virtual bool SetLatestVersion(const std::string& version) = 0;

    // The announcement; all fields empty and not shown until set. Setting replaces all fields at
    // once, so a reader never sees a new link beside an old image.
    virtual std::optional<Announcement> GetAnnouncement() = 0;
    virtual bool SetAnnouncement(const Announcement& announcement) = 0;

    // The web console's sign-in password as a crypto_pwhash string; empty until set (the console
    // is off until then).
    virtual std::optional<std::string> ConsolePasswordHash() = 0;
    virtual bool SetConsolePasswordHash(const std::string& hash) = 0;

    // Console sessions, shared by every server process on the database. Adding one first drops
    // the sessions last seen before `idle_before`, then the oldest ones beyond `keep - 1`.
    virtual bool AddConsoleSession(const ConsoleSession& session, std::int64_t idle_before, std::size_t keep) = 0;
    // The session under `id_hash` last seen at or after `idle_before` into `found`, its last_seen
    // moved to `now`; false when there is no such session.
    virtual std::optional<bool> TouchConsoleSession(const std::string& id_hash,
                                                    std::int64_t now,
                                                    std::int64_t idle_before,
                                                    ConsoleSession& found) = 0;
    virtual bool EndConsoleSession(const std::string& id_hash) = 0;

    // Changes the sign-in count of `address` in one step no other process comes between:
    // `change` gets the stored count (all zero when there is none) and gives the count to keep
    // (nullopt: forget the address). Counts whose last attempt is before `forget_before` are
    // forgotten first.
    using SignInChange = std::function<std::optional<SignInCount>(const SignInCount&)>;
    virtual bool ChangeSignInCount(const std::string& address,
                                   std::int64_t forget_before,
                                   const SignInChange& change) = 0;
};

}  // namespace yz::server
