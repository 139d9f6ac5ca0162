#include "platform/registry/Registry.h"

#include "platform/codepage/CodePage.h"
#include "platform/registry/Diagnostics.h"

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace reg {
namespace {

// Layout of the database.  Keys are rows named by their full lower-case path
// ("hkey_local_machine\software\x"), with the name as created for display;
// the three roots are rows too.  Values belong to a key path and enumerate by
// row id, which an update keeps.  Every committed change appends a row to the
// change log, so that a process can tell which keys others changed; its
// numbers only grow, as pruning never removes the last row.
constexpr int kApplicationId = 0x4D524547;  // "MREG"
constexpr int kSchemaVersion = 1;
constexpr const char* kSchema = R"sql(
CREATE TABLE keys(path TEXT PRIMARY KEY, parent TEXT NOT NULL, name TEXT NOT NULL) WITHOUT ROWID;
CREATE INDEX keys_by_parent ON keys(parent, path);
CREATE TABLE vals(id INTEGER PRIMARY KEY, key TEXT NOT NULL, lname TEXT NOT NULL, name TEXT NOT NULL,
                  type INTEGER NOT NULL, data BLOB NOT NULL, UNIQUE(key, lname));
CREATE INDEX vals_by_key ON vals(key);
CREATE TABLE changes(seq INTEGER PRIMARY KEY, path TEXT NOT NULL, kind INTEGER NOT NULL, origin INTEGER NOT NULL);
INSERT INTO keys VALUES('hkey_classes_root', '', 'HKEY_CLASSES_ROOT'),
                       ('hkey_current_user', '', 'HKEY_CURRENT_USER'),
                       ('hkey_local_machine', '', 'HKEY_LOCAL_MACHINE');
)sql";
constexpr int kBusyTimeoutMs = 3000;
// After a call has waited kBusyTimeoutMs in vain, the calls of the next
// kBusyBackoffMs answer ERROR_BUSY at once instead of waiting again.
constexpr int kBusyBackoffMs = 10000;
// The machine's hives (HKLM, HKCR), readable by every user, written by root.
constexpr const char* kMachineStore = "/var/lib/mirelle/registry.db";
// The change log keeps this many rows; a watcher further behind fires all
// its watches rather than miss one.
constexpr sqlite3_int64 kChangeLogRows = 4096;

// A change of a key's subkeys (created or deleted) or values, and the
// removal of a key with its whole subtree.
constexpr DWORD kChangeName = REG_NOTIFY_CHANGE_NAME;
constexpr DWORD kChangeValue = REG_NOTIFY_CHANGE_LAST_SET;
constexpr DWORD kRemoved = 0x100;

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

std::string JoinParts(const std::vector<std::string>& parts, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (i) out += '\\';
        out += parts[i];
    }
    return out;
}

// The key's row name: lower-case parts joined by one backslash.
std::string Canon(const std::string& path) {
    auto parts = Split(Lower(path));
    return JoinParts(parts, parts.size());
}

std::string ParentOfCanon(const std::string& canon) {
    auto slash = canon.rfind('\\');
    return slash == std::string::npos ? std::string() : canon.substr(0, slash);
}

// Bounds of a key's subtree in the path order: every descendant's path lies
// strictly between "path\" and "path]" (']' follows '\' in byte order).
std::string SubtreeLow(const std::string& canon) { return canon + '\\'; }
std::string SubtreeHigh(const std::string& canon) { return canon + ']'; }

// An SQLite URI naming the file as read-only and never changing.
std::string ImmutableUri(const std::string& path) {
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("/._-~", c)) {
            uri += static_cast<char>(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            uri += buf;
        }
    }
    return uri + "?immutable=1";
}

std::string RootName(HKEY root) {
    switch (root) {
        case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
        case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        default: return {};
    }
}

std::string Join(const std::string& a, const std::string& b) {
    if (b.empty()) return a;
    return a + "\\" + b;
}

// Whether a change of `changed` (a canonical path) of the given kind concerns
// a watch on `watched`.
bool Concerns(const std::string& watched, bool subtree, DWORD filter, const std::string& changed, DWORD kind) {
    auto within = [](const std::string& inner, const std::string& outer) {
        return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '\\';
    };
    if (kind & kRemoved) {  // the watched key (or one above it) is gone
        if (watched == changed || within(watched, changed)) return true;
    }
    if (!(filter & kind)) return false;
    return changed == watched || (subtree && within(changed, watched));
}

std::mutex g_diagLock;
std::function<void(const std::string&)>& DiagSink() {
    static std::function<void(const std::string&)> s;
    return s;
}

// Listeners (the component's debug log) get each line after the call that
// found the fault has let go of its store: a listener may use the registry.
std::map<int, std::function<void(const std::string&)>>& Listeners() {
    static std::map<int, std::function<void(const std::string&)>> l;
    return l;
}
int g_nextListener = 1;
thread_local std::vector<std::string> t_pendingLines;
thread_local int t_callDepth = 0;

void Diagnose(const std::string& line) {
    std::lock_guard l(g_diagLock);
    if (DiagSink())
        DiagSink()(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
    if (!Listeners().empty()) t_pendingLines.push_back(line);
}

void TellListeners() {
    if (t_pendingLines.empty()) return;
    std::vector<std::string> lines;
    lines.swap(t_pendingLines);
    std::vector<std::function<void(const std::string&)>> listeners;
    {
        std::lock_guard l(g_diagLock);
        for (auto& [token, f] : Listeners()) listeners.push_back(f);
    }
    for (auto& line : lines)
        for (auto& f : listeners) f(line);
}

// The store's lock for one call; the outermost call of the thread tells the
// listeners what it diagnosed once the lock is let go.
class CallLock {
public:
    explicit CallLock(std::recursive_mutex& m) : m_m(m) {
        m_m.lock();
        ++t_callDepth;
    }
    ~CallLock() {
        m_m.unlock();
        if (--t_callDepth == 0) TellListeners();
    }
    CallLock(const CallLock&) = delete;
    CallLock& operator=(const CallLock&) = delete;

private:
    std::recursive_mutex& m_m;
};

// One connection with its prepared statements, kept for the connection's
// life so that a call costs a bind and a step.
class Connection {
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() {
        for (auto& [sql, stmt] : m_stmts) sqlite3_finalize(stmt);
        if (m_db) sqlite3_close_v2(m_db);
    }
    int Open(const std::string& name, int flags) {
        int rc = sqlite3_open_v2(name.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc == SQLITE_OK) sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
        return rc;
    }
    sqlite3* Db() const { return m_db; }
    // The statement of a constant SQL text (cached by its address).
    sqlite3_stmt* Get(const char* sql, int* rc) {
        auto it = m_stmts.find(sql);
        if (it != m_stmts.end()) {
            *rc = SQLITE_OK;
            return it->second;
        }
        sqlite3_stmt* stmt = nullptr;
        *rc = sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (*rc != SQLITE_OK) return nullptr;
        m_stmts.emplace(sql, stmt);
        return stmt;
    }
    int Exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }

private:
    sqlite3* m_db = nullptr;
    std::map<const char*, sqlite3_stmt*> m_stmts;
};

// One use of a cached statement: binds, steps and, when it goes out of scope,
// resets (ending the statement's read of the database).
class Query {
public:
    Query(Connection& c, const char* sql) { m_stmt = c.Get(sql, &m_rc); }
    ~Query() {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    Query& Bind(int i, const std::string& text) {
        if (m_stmt) sqlite3_bind_text(m_stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Query& Bind(int i, sqlite3_int64 v) {
        if (m_stmt) sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    Query& BindBlob(int i, const void* data, DWORD size) {
        static const char empty = 0;
        if (m_stmt) sqlite3_bind_blob(m_stmt, i, size ? data : &empty, static_cast<int>(size), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() {
        if (!m_stmt) return m_rc;
        return sqlite3_step(m_stmt);
    }
    sqlite3_int64 Int(int col) const { return sqlite3_column_int64(m_stmt, col); }
    std::string Text(int col) const {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, col))) : std::string();
    }
    const void* Blob(int col) const { return sqlite3_column_blob(m_stmt, col); }
    DWORD Bytes(int col) const { return static_cast<DWORD>(sqlite3_column_bytes(m_stmt, col)); }

private:
    sqlite3_stmt* m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

struct Watch {
    std::string path;  // canonical
    bool subtree;
    DWORD filter;
    std::shared_ptr<Event> event;
    sqlite3_int64 since;  // changes after this log row concern the watch
};

struct Change {
    std::string path;  // canonical
    DWORD kind;
    sqlite3_int64 seq = 0;
};

// Where an enumeration of a key's values or subkeys stands: the row that the
// last call answered, so that the next index is one index lookup away.
struct Cursor {
    bool valid = false;
    DWORD index = 0;
    unsigned generation = 0;  // the store's cache generation it belongs to
    sqlite3_int64 id = 0;     // values: the row id
    std::string path;         // subkeys: the canonical path
};

struct Handle {
    std::string path;   // as given, with case
    std::string canon;  // the key's row name
    Cursor values, subkeys;
};

class Store;

// Watches the database file of a store for changes committed by other
// processes: a thread blocked in poll() on an inotify descriptor for the
// database's folder (and an eventfd to stop it) reads the change log after
// each write to the database or its write-ahead log, and signals the watches
// the changes concern.
class Watcher {
public:
    Watcher(Store& store, std::string file, sqlite3_int64 origin, sqlite3_int64 seen);
    ~Watcher();

private:
    void Run();
    void ReadChanges(Connection& c);

    Store& m_store;
    std::string m_file;
    sqlite3_int64 m_origin;
    sqlite3_int64 m_seen;
    int m_stop = -1;
    std::thread m_thread;
};

class Store {
public:
    explicit Store(HKEY firstHandle) : nextHandle(firstHandle) {}
    std::recursive_mutex m;
    std::string file;  // empty: in memory
    std::unique_ptr<Connection> db;
    LONG fault = ERROR_SUCCESS;  // a store that cannot be used answers this to every call
    bool readOnly = false;
    sqlite3_int64 origin = 0;  // marks this process's rows in the change log
    std::map<HKEY, Handle> handles;
    // The two stores hand out handles of either parity, so that a handle
    // names its store: even for the machine's, odd for the user's.
    HKEY nextHandle;
    bool sharedByAll = false;  // the machine's own store: made readable by all when created
    bool immutable = false;  // opened as an unchanging file (nobody writes it now)
    std::chrono::steady_clock::time_point busyUntil{};
    // A write transaction spanning several calls (Transaction): open on the
    // database, poisoned by a failed change, changes to signal at commit.
    int txDepth = 0;
    bool txOpen = false;
    LONG txError = ERROR_SUCCESS;
    std::vector<Change> txChanges;
    std::map<std::string, LONG> failures;
    std::set<int> reported;  // SQLite results already told on the diagnostic output

    // Guards the watches; taken after m (never the other way round), and
    // alone by the watcher thread.
    std::mutex watchLock;
    std::vector<Watch> watches;
    std::unique_ptr<Watcher> watcher;

    ~Store() {
        if (::getpid() != owner) {
            // A child forked without exec: the watcher thread and the
            // database's locks belong to the parent; closing the connection
            // here could remove the parent's write-ahead log.
            (void)watcher.release();
            (void)db.release();
            return;
        }
        watcher.reset();
        Unmap();
    }
    pid_t owner = ::getpid();

    LONG Fail(const char* op) {
        auto it = failures.find(op);
        return it == failures.end() ? ERROR_SUCCESS : it->second;
    }

    void Close() {
        if (txOpen && db) db->Exec("ROLLBACK");
        txOpen = false;
        txError = ERROR_SUCCESS;
        txChanges.clear();
        watcher.reset();
        Unmap();
        db.reset();
        fault = ERROR_SUCCESS;
        readOnly = false;
        immutable = false;
        busyUntil = {};
        reported.clear();
    }

    // The platform's answer to an SQLite result.  Corruption, and any fault
    // while opening but a lock, make the store unusable for good (until it is
    // chosen again); each kind of fault is told once.
    LONG Fault(int rc, bool opening = false, const std::string& detail = {}) {
        int primary = rc & 0xff;
        std::string what = sqlite3_errstr(rc);
        if (!detail.empty() && detail != what) what += ": " + detail;
        LONG code;
        bool lasting = false;
        std::string line;
        switch (primary) {
            case SQLITE_BUSY:
            case SQLITE_LOCKED:
                code = ERROR_BUSY;
                busyUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyBackoffMs);
                line = "registry store " + file + " stayed locked by another process for " +
                       std::to_string(kBusyTimeoutMs / 1000) + " s; registry calls answer error 170 at once for the next " +
                       std::to_string(kBusyBackoffMs / 1000) + " s, then wait for it again";
                break;
            case SQLITE_READONLY:
                code = ERROR_ACCESS_DENIED;
                line = "registry store " + file + " may not be written; changes answer access denied";
                break;
            case SQLITE_NOMEM:
                code = ERROR_OUTOFMEMORY;
                break;
            case SQLITE_CORRUPT:
            case SQLITE_NOTADB:
                code = ERROR_BADDB;
                lasting = true;
                line = "registry store " + file + " is corrupt or not a registry database (" + what +
                       "); it is left untouched and every registry call answers error 1009";
                break;
            default:
                code = ERROR_REGISTRY_IO_FAILED;
                lasting = opening;
                line = "registry store " + file + (opening ? " cannot be opened (" : " cannot be read or written (") +
                       what + "); " + (opening ? "every registry call" : "the call") + " answers error 1016";
                break;
        }
        if (lasting) fault = code;
        if (!line.empty() && reported.insert(primary).second) Diagnose(line);
        return code;
    }

    LONG Misfit(const std::string& why) {
        fault = ERROR_BADDB;
        if (reported.insert(SQLITE_NOTADB).second)
            Diagnose("registry store " + file + " " + why + "; it is left untouched and every registry call answers error 1009");
        return fault;
    }

    // Opens the database at the first call that needs it.  Processes that
    // open a new store together meet locks SQLite does not wait for (while
    // one of them sets the store up): opening is tried again for the bounded
    // time then.
    LONG Ready() {
        if (fault) return fault;
        if (busyUntil != std::chrono::steady_clock::time_point{}) {
            if (std::chrono::steady_clock::now() < busyUntil) return ERROR_BUSY;
            busyUntil = {};
        }
        if (db) return ERROR_SUCCESS;
        if (file.empty()) return OpenMemory();
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
        for (;;) {
            int busy = SQLITE_OK;
            LONG r = OpenFile(&busy);
            if (busy == SQLITE_OK) return r;
            if (std::chrono::steady_clock::now() >= until) return Fault(busy, true);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    LONG OpenFile(int* busy) {
        auto fail = [&](int rc, const std::string& detail = {}) -> LONG {
            if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED) {
                *busy = rc;
                return ERROR_BUSY;
            }
            return Fault(rc, true, detail);
        };
        std::error_code ec;
        bool exists = std::filesystem::exists(file, ec);
        bool madeDir = false;
        if (!exists) {
            auto dir = std::filesystem::path(file).parent_path();
            if (!dir.empty()) madeDir = std::filesystem::create_directories(dir, ec);
            std::string folder = dir.empty() ? "." : dir.string();
            if (::access(folder.c_str(), W_OK) != 0) {
                // A store nobody has made yet, in a folder this process may
                // not write (the machine's, for a user): it is empty and may
                // not be changed.
                LONG r = OpenMemory();
                readOnly = true;
                return r;
            }
        }
        bool writable = !exists || ::access(file.c_str(), W_OK) == 0;
        auto c = std::make_unique<Connection>();
        int rc = c->Open(file, writable ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY);
        if (rc != SQLITE_OK) return fail(rc, c->Db() ? sqlite3_errmsg(c->Db()) : "");
        readOnly = !writable || sqlite3_db_readonly(c->Db(), "main") == 1;
        // Reading the header tells a foreign or damaged file before anything
        // is written; in one statement, so that both answers come from one
        // state of a file another process may be setting up right now.
        const char* header =
            "SELECT (SELECT application_id FROM pragma_application_id()), (SELECT count(*) FROM sqlite_schema)";
        sqlite3_int64 appId = 0, tables = 0;
        {
            Query q(*c, header);
            rc = q.Step();
            if (rc == SQLITE_ROW) {
                appId = q.Int(0);
                tables = q.Int(1);
            }
        }
        if (readOnly && ((rc & 0xff) == SQLITE_READONLY || (rc & 0xff) == SQLITE_CANTOPEN)) {
            // A store in a folder this process may not write either: its
            // write-ahead log index cannot be made.  No writer has the store
            // open (there would be a log and an index to share), so the file
            // alone holds it and is read as unchanging.
            c = std::make_unique<Connection>();
            immutable = true;
            rc = c->Open(ImmutableUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
            if (rc != SQLITE_OK) return fail(rc, c->Db() ? sqlite3_errmsg(c->Db()) : "");
            Query q(*c, header);
            rc = q.Step();
            if (rc == SQLITE_ROW) {
                appId = q.Int(0);
                tables = q.Int(1);
            }
        }
        if (rc != SQLITE_ROW) return fail(rc);
        if (tables && appId != kApplicationId) return Misfit("is a database of another program");
        if (tables) {
            Query q(*c, "PRAGMA quick_check(1)");
            rc = q.Step();
            if (rc != SQLITE_ROW) return fail(rc);
            if (q.Text(0) != "ok") return Misfit("is corrupt (" + q.Text(0) + ")");
        }
        if (!readOnly) {
            // Write-ahead log: readers never wait for the writer, and a commit
            // is one append (synced at checkpoints, enough against crashes of
            // the process).
            if ((rc = c->Exec("PRAGMA journal_mode=WAL")) != SQLITE_OK) return fail(rc);
            if ((rc = c->Exec("PRAGMA synchronous=NORMAL")) != SQLITE_OK) return fail(rc);
            // Stores made before values were indexed by key get the index.
            if (tables && (rc = c->Exec("CREATE INDEX IF NOT EXISTS vals_by_key ON vals(key)")) != SQLITE_OK)
                return fail(rc);
            if (!tables) {
                if ((rc = c->Exec("BEGIN IMMEDIATE")) != SQLITE_OK) return fail(rc);
                if (ReadCount(*c, "SELECT count(*) FROM sqlite_schema") == 0) {
                    std::string init = std::string(kSchema) + "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                       "; PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";";
                    rc = c->Exec(init.c_str());
                    if (rc != SQLITE_OK) {
                        c->Exec("ROLLBACK");
                        return fail(rc);
                    }
                }
                if ((rc = c->Exec("COMMIT")) != SQLITE_OK) {
                    c->Exec("ROLLBACK");
                    return fail(rc);
                }
                // The machine's store is read by every user.
                if (sharedByAll && !exists) {
                    ::chmod(file.c_str(), 0644);
                    if (madeDir) ::chmod(std::filesystem::path(file).parent_path().c_str(), 0755);
                }
            }
        } else if (!tables) {
            // An empty store nobody may write: reads find nothing.
            return OpenMemory();
        }
        std::random_device rd;
        origin = (static_cast<sqlite3_int64>(rd()) << 31) ^ rd() ^ ::getpid();
        owner = ::getpid();
        db = std::move(c);
        return ERROR_SUCCESS;
    }

    LONG OpenMemory() {
        auto c = std::make_unique<Connection>();
        int rc = c->Open(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (rc == SQLITE_OK) rc = c->Exec(kSchema);
        if (rc != SQLITE_OK) return Fault(rc, true);
        db = std::move(c);
        return ERROR_SUCCESS;
    }

    static sqlite3_int64 ReadCount(Connection& c, const char* sql) {
        Query q(c, sql);
        return q.Step() == SQLITE_ROW ? q.Int(0) : -1;
    }

    // Full path of a handle, empty optional when the handle is unknown.
    Handle* HandleOf(HKEY key) {
        auto it = handles.find(key);
        if (it != handles.end()) return &it->second;
        std::string r = RootName(key);
        if (r.empty()) return nullptr;
        return &handles.emplace(key, Handle{r, Lower(r), {}, {}}).first->second;
    }

    HKEY Open(const std::string& path, std::string canon) {
        HKEY h = nextHandle;
        nextHandle += 2;
        handles[h] = Handle{path, std::move(canon), {}, {}};
        return h;
    }

    // ERROR_SUCCESS when the key exists, ERROR_FILE_NOT_FOUND when not.
    LONG KeyExists(const std::string& canon) {
        Query q(*db, "SELECT 1 FROM keys WHERE path=?1");
        int rc = q.Bind(1, canon).Step();
        if (rc == SQLITE_ROW) return ERROR_SUCCESS;
        if (rc == SQLITE_DONE) return ERROR_FILE_NOT_FOUND;
        return Fault(rc);
    }

    // Runs body as one write transaction; on success appends the changes it
    // reports to the change log, commits, then signals this process's watches.
    template <class Body>
    LONG Write(Body&& body) {
        if (readOnly) return ERROR_ACCESS_DENIED;
        DropCache();
        if (txDepth) return WriteInTransaction(body);
        int rc;
        {
            Query begin(*db, "BEGIN IMMEDIATE");
            rc = begin.Step();
        }
        if (rc != SQLITE_DONE) return Fault(rc);
        std::vector<Change> changes;
        LONG r = body(changes);
        if (r == ERROR_SUCCESS && !file.empty()) r = Log(changes);
        if (r == ERROR_SUCCESS) {
            Query commit(*db, "COMMIT");
            rc = commit.Step();
            if (rc != SQLITE_DONE) r = Fault(rc);
        }
        if (r != ERROR_SUCCESS) {
            if (!sqlite3_get_autocommit(db->Db())) {
                Query rollback(*db, "ROLLBACK");
                rollback.Step();
            }
            return r;
        }
        Signal(changes, false);
        return ERROR_SUCCESS;
    }

    // A change within a Transaction: the transaction is begun at the first
    // one and committed by the Transaction.  A failure that changed nothing
    // (a missing key or value, a key with subkeys) leaves it usable; any
    // other poisons it, so that nothing of it is committed.
    template <class Body>
    LONG WriteInTransaction(Body& body) {
        if (txError) return txError;
        if (!txOpen) {
            int rc;
            {
                Query begin(*db, "BEGIN IMMEDIATE");
                rc = begin.Step();
            }
            if (rc != SQLITE_DONE) return txError = Fault(rc);
            txOpen = true;
        }
        std::vector<Change> changes;
        LONG r = body(changes);
        if (r == ERROR_SUCCESS && !file.empty()) r = Log(changes);
        if (r == ERROR_FILE_NOT_FOUND || r == ERROR_KEY_HAS_CHILDREN) return r;
        if (r != ERROR_SUCCESS) return txError = r;
        txChanges.insert(txChanges.end(), changes.begin(), changes.end());
        return ERROR_SUCCESS;
    }

    // Ends a Transaction's part in this store: commits what it changed
    // (when commit and nothing failed) or rolls it back.
    LONG EndTransaction(bool commit) {
        LONG r = txError;
        if (txOpen) {
            if (commit && r == ERROR_SUCCESS) {
                Query q(*db, "COMMIT");
                int rc = q.Step();
                if (rc != SQLITE_DONE) r = Fault(rc);
            }
            if (!sqlite3_get_autocommit(db->Db())) {
                Query rollback(*db, "ROLLBACK");
                rollback.Step();
                if (r == ERROR_SUCCESS) r = ERROR_REGISTRY_IO_FAILED;
            }
        }
        std::vector<Change> done;
        done.swap(txChanges);
        bool committed = txOpen && r == ERROR_SUCCESS && commit;
        txOpen = false;
        txError = ERROR_SUCCESS;
        DropCache();
        if (committed) Signal(done, false);
        return commit ? r : ERROR_SUCCESS;
    }

    LONG Log(std::vector<Change>& changes) {
        for (auto& ch : changes) {
            Query q(*db, "INSERT INTO changes(path, kind, origin) VALUES(?1, ?2, ?3)");
            int rc = q.Bind(1, ch.path).Bind(2, static_cast<sqlite3_int64>(ch.kind)).Bind(3, origin).Step();
            if (rc != SQLITE_DONE) return Fault(rc);
            ch.seq = sqlite3_last_insert_rowid(db->Db());
        }
        if (!changes.empty() && changes.back().seq % 256 == 0) {
            Query q(*db, "DELETE FROM changes WHERE seq <= ?1");
            int rc = q.Bind(1, changes.back().seq - kChangeLogRows).Step();
            if (rc != SQLITE_DONE) return Fault(rc);
        }
        return ERROR_SUCCESS;
    }

    // Signals (and disarms) the watches the changes concern; `all` signals
    // every watch armed before the last change (the log was pruned past them).
    void Signal(const std::vector<Change>& changes, bool all) {
        std::vector<std::shared_ptr<Event>> fire;
        {
            std::lock_guard l(watchLock);
            std::erase_if(watches, [&](const Watch& w) {
                bool hit = false;
                for (auto& ch : changes) {
                    if (ch.seq && ch.seq <= w.since) continue;
                    if (all || Concerns(w.path, w.subtree, w.filter, ch.path, ch.kind)) {
                        hit = true;
                        break;
                    }
                }
                if (hit) fire.push_back(w.event);
                return hit;
            });
        }
        for (auto& e : fire) e->Set();
    }

    // The last row of the change log (0 when empty).
    LONG LastChange(sqlite3_int64* seq) {
        Query q(*db, "SELECT ifnull(max(seq), 0) FROM changes");
        int rc = q.Step();
        if (rc != SQLITE_ROW) return Fault(rc);
        *seq = q.Int(0);
        return ERROR_SUCCESS;
    }

    // Read cache.  A value or key read is kept until the database changes:
    // this process's writes clear it, and other processes' commits are seen
    // in the header of the write-ahead log index (the "-shm" file, read here
    // with one pread), which every commit rewrites.  The header is copied
    // before a read that fills the cache, so a commit during the read shows
    // as a change at the next call.
    struct CachedValue {
        bool found;
        DWORD type;
        std::vector<std::uint8_t> data;
    };
    std::map<std::string, CachedValue> valueCache;  // key path '\n' lower-case name
    std::map<std::string, bool> keyCache;           // key path -> exists
    unsigned char cacheHeader[48] = {};
    bool cacheHeaderValid = false;
    int shmFd = -1;

    unsigned generation = 0;  // moves whenever the cache is dropped (enumeration cursors)

    void DropCache() {
        valueCache.clear();
        keyCache.clear();
        cacheHeaderValid = false;
        ++generation;
    }

    void Unmap() {
        if (shmFd >= 0) ::close(shmFd);
        shmFd = -1;
        DropCache();
    }

    // The index file is opened once this process's connection uses it: from
    // then on SQLite keeps that file in place (only the last connection to
    // close removes it), so the descriptor always shows the live header.
    bool MapIndex() {
        shmFd = ::open((file + "-shm").c_str(), O_RDONLY | O_CLOEXEC);
        return shmFd >= 0;
    }

    // Whether the cache still shows the database; when not, it is emptied
    // and marked with the current header.
    bool CacheCurrent() {
        if (file.empty() || immutable) return true;  // only this process writes, or nobody
        if (shmFd < 0 && !MapIndex()) return false;
        unsigned char now[sizeof cacheHeader];
        if (::pread(shmFd, now, sizeof now, 0) != static_cast<ssize_t>(sizeof now)) {
            DropCache();
            return false;
        }
        std::uint32_t version;
        std::memcpy(&version, now, 4);
        if (version != 3007000 || now[12] != 1) {  // no index in the known format
            DropCache();
            return false;
        }
        if (cacheHeaderValid && std::memcmp(now, cacheHeader, sizeof now) == 0) return true;
        DropCache();
        std::memcpy(cacheHeader, now, sizeof now);
        cacheHeaderValid = true;
        return false;
    }

    void Remember(std::string slot, CachedValue v) {
        if (valueCache.size() > 4096) valueCache.clear();
        if (cacheHeaderValid || file.empty()) valueCache[std::move(slot)] = std::move(v);
    }

    LONG KeyExistsCached(const std::string& canon) {
        bool current = CacheCurrent();
        if (current) {
            auto it = keyCache.find(canon);
            if (it != keyCache.end()) return it->second ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        }
        LONG e = KeyExists(canon);
        if ((e == ERROR_SUCCESS || e == ERROR_FILE_NOT_FOUND) && (cacheHeaderValid || file.empty())) {
            if (keyCache.size() > 4096) keyCache.clear();
            keyCache[canon] = e == ERROR_SUCCESS;
        }
        return e;
    }
};

// The machine's store (HKLM, HKCR) and the user's (HKCU).  When one file
// holds every hive (MIRELLE_REGISTRY, UseFile, UseMemory) the machine's store
// serves them all.
Store& Machine() {
    static Store s(0x1000);
    return s;
}
Store& User() {
    static Store s(0x1001);
    return s;
}
std::atomic<bool> g_oneStore{true};

// The store a root or a handle belongs to.
Store& For(HKEY key) {
    if (g_oneStore) return Machine();
    if (key == HKEY_CURRENT_USER) return User();
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT) return Machine();
    return (key & 1) ? User() : Machine();
}

Watcher::Watcher(Store& store, std::string file, sqlite3_int64 origin, sqlite3_int64 seen)
    : m_store(store), m_file(std::move(file)), m_origin(origin), m_seen(seen) {
    m_stop = ::eventfd(0, EFD_CLOEXEC);
    if (m_stop >= 0) m_thread = std::thread([this] { Run(); });
}

Watcher::~Watcher() {
    std::uint64_t one = 1;
    if (m_stop >= 0 && ::write(m_stop, &one, sizeof one) < 0) {
        // The thread cannot be woken: it still ends at its next poll timeout.
    }
    if (m_thread.joinable()) m_thread.join();
    if (m_stop >= 0) ::close(m_stop);
}

void Watcher::Run() {
    Connection c;
    if (c.Open(m_file, SQLITE_OPEN_READONLY) != SQLITE_OK) return;
    std::filesystem::path file(m_file);
    std::string dir = file.parent_path().empty() ? "." : file.parent_path().string();
    std::string base = file.filename().string();
    int ino = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (ino >= 0 && ::inotify_add_watch(ino, dir.c_str(), IN_MODIFY | IN_CLOSE_WRITE | IN_CREATE | IN_MOVED_TO) < 0) {
        ::close(ino);
        ino = -1;
    }
    // Without inotify (limit reached) the change log is read every 100 ms;
    // with it, a slow check each second only covers lost events.  A write to
    // the log file comes before its commit is visible (the commit ends in the
    // mapped index, which raises no event), so each burst of writes is
    // followed by two more readings, 5 and 50 ms later.
    const int idleMs = ino >= 0 ? 1000 : 100;
    const int settleMs[] = {5, 50};
    int settle = 2;  // readings of the current burst still to make
    sqlite3_int64 version = -1;
    for (;;) {
        pollfd fds[2] = {{m_stop, POLLIN, 0}, {ino, POLLIN, 0}};
        int n = ::poll(fds, ino >= 0 ? 2 : 1, settle < 2 ? settleMs[settle] : idleMs);
        if (n < 0 && errno != EINTR) break;
        if (fds[0].revents) break;
        bool relevant = n == 0;
        if (ino >= 0 && (fds[1].revents & POLLIN)) {
            alignas(inotify_event) char buf[4096];
            ssize_t len;
            while ((len = ::read(ino, buf, sizeof buf)) > 0) {
                for (char* p = buf; p < buf + len;) {
                    auto* ev = reinterpret_cast<inotify_event*>(p);
                    if (ev->len) {
                        std::string name(ev->name);
                        if (name == base || name == base + "-wal") relevant = true;
                    }
                    p += sizeof(inotify_event) + ev->len;
                }
            }
        }
        if (n == 0 && settle < 2) ++settle;
        if (!relevant) continue;
        if (n > 0) settle = 0;
        // The counter moves with every commit of another connection; it
        // saves reading the log when only the checkpoint touched the file.
        sqlite3_int64 now;
        {
            Query q(c, "PRAGMA data_version");
            if (q.Step() != SQLITE_ROW) continue;
            now = q.Int(0);
        }
        if (now == version) continue;
        version = now;
        ReadChanges(c);
    }
    if (ino >= 0) ::close(ino);
}

void Watcher::ReadChanges(Connection& c) {
    std::vector<Change> foreign;
    bool pruned = false;
    sqlite3_int64 last = m_seen;
    {
        Query q(c, "SELECT seq, path, kind, origin FROM changes WHERE seq > ?1 ORDER BY seq");
        q.Bind(1, m_seen);
        int rc;
        while ((rc = q.Step()) == SQLITE_ROW) {
            sqlite3_int64 seq = q.Int(0);
            if (last == m_seen && seq != m_seen + 1) pruned = true;
            last = seq;
            if (q.Int(3) != m_origin)
                foreign.push_back({q.Text(1), static_cast<DWORD>(q.Int(2)), seq});
        }
        if (rc != SQLITE_DONE) return;  // read again at the next event
    }
    m_seen = last;
    if (pruned)
        m_store.Signal({{std::string(), 0, last}}, true);
    else if (!foreign.empty())
        m_store.Signal(foreign, false);
}

std::string UserStorePath() {
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return std::string(x) + "/mirelle/registry.db";
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.local/share/mirelle/registry.db";
    return "mirelle-registry.db";
}

void ChooseHives(const std::string& machine, const std::string& user) {
    auto& ms = Machine();
    auto& us = User();
    std::scoped_lock l(ms.m, us.m);
    ms.Close();
    us.Close();
    ms.file = machine;
    us.file = user;
    ms.sharedByAll = machine == kMachineStore;
    g_oneStore = false;
}

void ChooseOne(const std::string& path) {
    auto& ms = Machine();
    auto& us = User();
    std::scoped_lock l(ms.m, us.m);
    ms.Close();
    us.Close();
    ms.file = path;
    us.file.clear();
    ms.sharedByAll = false;
    g_oneStore = true;
}

void ChooseDefault() {
    if (const char* p = std::getenv("MIRELLE_REGISTRY"); p && *p)
        ChooseOne(p);
    else
        ChooseHives(kMachineStore, UserStorePath());
}

struct DefaultInit {
    DefaultInit() { ChooseDefault(); }
} g_defaultInit;

// Text values are kept as Unicode (UTF-8) in the store.  The calls take and
// give text in the system code page, as the platform's 8-bit calls do, unless
// the process asked for UTF-8 (tools that talk to a UTF-8 terminal).
std::atomic<bool> g_utf8Text{false};

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (!n || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

// The bytes a text value written by this process is stored as.
std::string StoredText(const void* data, DWORD size) {
    std::string_view in(static_cast<const char*>(data), size);
    return g_utf8Text ? std::string(in) : cp::AnsiToUtf8(in);
}

// The bytes a stored text value is handed out as.  Text that is not UTF-8
// (written in the code page before the store kept Unicode) goes out as it is.
std::string HandedText(const void* data, DWORD size) {
    std::string_view in(static_cast<const char*>(data), size);
    if (g_utf8Text || !ValidUtf8(in)) return std::string(in);
    return cp::Utf8ToAnsi(in);
}

// Copies a value's bytes out the way the platform does: with a buffer too
// small the needed size is reported with ERROR_MORE_DATA; without a buffer
// only the size is given.
LONG CopyOut(const void* bytes, DWORD need, void* data, DWORD* size) {
    if (!size) return ERROR_SUCCESS;
    if (data && *size < need) {
        *size = need;
        return ERROR_MORE_DATA;
    }
    if (data && need) std::memcpy(data, bytes, need);
    *size = need;
    return ERROR_SUCCESS;
}

// CopyOut of a stored value, text in the form the process takes it.
LONG CopyValue(DWORD type, const void* bytes, DWORD need, void* data, DWORD* size) {
    if (!IsText(type) || !need) return CopyOut(bytes, need, data, size);
    std::string text = HandedText(bytes, need);
    return CopyOut(text.data(), static_cast<DWORD>(text.size()), data, size);
}

// Takes the lock of the store the key belongs to and opens it: the start of
// every call.
#define MIRELLE_REG_ENTER(s, key)         \
    auto& s = For(key);                   \
    CallLock lock_(s.m);                  \
    if (LONG e_ = s.Ready()) return e_

}  // namespace

void UseFile(const std::string& path) { ChooseOne(path); }
void UseMemory() { ChooseOne(""); }
void UseDefaultFile() { ChooseDefault(); }
void UseHives(const std::string& machine, const std::string& user) { ChooseHives(machine, user); }
std::string MachineStorePath() { return kMachineStore; }

std::string StorePath(HKEY root) {
    auto& s = For(root);
    std::lock_guard l(s.m);
    return s.file;
}

void UseUtf8Text(bool on) { g_utf8Text = on; }

void Clear() {
    for (Store* s : {&Machine(), &User()}) {
        std::lock_guard l(s->m);
        s->failures.clear();
        if (g_oneStore && s == &User()) continue;
        if (s->Ready() != ERROR_SUCCESS) continue;
        s->Write([&](std::vector<Change>&) -> LONG {
            int rc = s->db->Exec("DELETE FROM vals; DELETE FROM keys WHERE parent <> ''");
            return rc == SQLITE_OK ? ERROR_SUCCESS : s->Fault(rc);
        });
    }
}

Transaction::Transaction() {
    for (Store* s : {&Machine(), &User()}) {
        s->m.lock();
        ++s->txDepth;
    }
}

LONG Transaction::Commit() {
    if (m_done) return ERROR_SUCCESS;
    m_done = true;
    // Both stores' parts are checked before either commits, so that a change
    // refused in one store keeps the other's back too.
    LONG r = Machine().txError ? Machine().txError : User().txError;
    if (r) {
        Machine().EndTransaction(false);
        User().EndTransaction(false);
        return r;
    }
    r = Machine().EndTransaction(true);
    LONG u = User().EndTransaction(r == ERROR_SUCCESS);
    return r ? r : u;
}

Transaction::~Transaction() {
    if (!m_done) {
        Machine().EndTransaction(false);
        User().EndTransaction(false);
    }
    for (Store* s : {&User(), &Machine()}) {
        --s->txDepth;
        s->m.unlock();
    }
}

int AddDiagnosticListener(std::function<void(const std::string&)> listener) {
    std::lock_guard l(g_diagLock);
    int token = g_nextListener++;
    Listeners()[token] = std::move(listener);
    return token;
}

void RemoveDiagnosticListener(int token) {
    std::lock_guard l(g_diagLock);
    Listeners().erase(token);
}

void SetDiagnosticOutput(std::function<void(const std::string&)> sink) {
    std::lock_guard l(g_diagLock);
    DiagSink() = std::move(sink);
}

void FailOperation(const std::string& op, LONG code) {
    for (Store* s : {&Machine(), &User()}) {
        std::lock_guard l(s->m);
        if (code == ERROR_SUCCESS)
            s->failures.erase(op);
        else
            s->failures[op] = code;
    }
}

LONG RegOpenKeyEx(HKEY parent, const std::string& subKey, HKEY* result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    MIRELLE_REG_ENTER(s, parent);
    if (LONG f = s.Fail("RegOpenKeyEx")) return f;
    auto base = s.HandleOf(parent);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string path = Join(base->path, subKey);
    std::string canon = Canon(path);
    if (LONG e = s.KeyExistsCached(canon)) return e;
    *result = s.Open(path, std::move(canon));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY parent, const std::string& subKey, HKEY* result, DWORD* disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = 0;
    MIRELLE_REG_ENTER(s, parent);
    if (LONG f = s.Fail("RegCreateKeyEx")) return f;
    auto base = s.HandleOf(parent);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string path = Join(base->path, subKey);
    std::string canon = Canon(path);
    LONG e = s.KeyExistsCached(canon);
    bool created = false;
    if (e == ERROR_FILE_NOT_FOUND) {
        // Every missing key of the path is made; the key above the topmost
        // new one has changed.
        e = s.Write([&](std::vector<Change>& changes) -> LONG {
            auto parts = Split(path);
            std::string firstNew;
            for (std::size_t i = 2; i <= parts.size(); ++i) {
                std::string name = JoinParts(parts, i);
                std::string key = Lower(name);
                Query q(*s.db, "INSERT OR IGNORE INTO keys(path, parent, name) VALUES(?1, ?2, ?3)");
                int rc = q.Bind(1, key).Bind(2, ParentOfCanon(key)).Bind(3, parts[i - 1]).Step();
                if (rc != SQLITE_DONE) return s.Fault(rc);
                if (sqlite3_changes(s.db->Db()) && firstNew.empty()) firstNew = key;
            }
            created = !firstNew.empty();
            if (created) changes.push_back({ParentOfCanon(firstNew), kChangeName});
            return ERROR_SUCCESS;
        });
    }
    if (e) return e;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = s.Open(path, std::move(canon));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    auto& s = For(key);
    std::lock_guard l(s.m);
    if (!RootName(key).empty()) return ERROR_SUCCESS;
    return s.handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const void* data, DWORD size) {
    MIRELLE_REG_ENTER(s, key);
    if (LONG f = s.Fail("RegSetValueEx")) return f;
    auto h = s.HandleOf(key);
    if (!h) return ERROR_INVALID_HANDLE;
    if (!data) size = 0;
    std::string text;
    if (IsText(type) && size) {
        text = StoredText(data, size);
        data = text.data();
        size = static_cast<DWORD>(text.size());
    }
    return s.Write([&](std::vector<Change>& changes) -> LONG {
        if (LONG e = s.KeyExists(h->canon)) return e;
        Query q(*s.db,
                "INSERT INTO vals(key, lname, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                "ON CONFLICT(key, lname) DO UPDATE SET type=excluded.type, data=excluded.data");
        int rc = q.Bind(1, h->canon).Bind(2, Lower(name)).Bind(3, name).Bind(4, static_cast<sqlite3_int64>(type))
                     .BindBlob(5, data, size)
                     .Step();
        if (rc != SQLITE_DONE) return s.Fault(rc);
        changes.push_back({h->canon, kChangeValue});
        return ERROR_SUCCESS;
    });
}

LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, void* data, DWORD* size) {
    MIRELLE_REG_ENTER(s, key);
    if (LONG f = s.Fail("RegQueryValueEx")) return f;
    auto h = s.HandleOf(key);
    if (!h) return ERROR_INVALID_HANDLE;
    std::string lname = Lower(name);
    std::string slot = h->canon + '\n' + lname;
    if (s.CacheCurrent()) {
        auto it = s.valueCache.find(slot);
        if (it != s.valueCache.end()) {
            if (!it->second.found) return ERROR_FILE_NOT_FOUND;
            if (type) *type = it->second.type;
            return CopyValue(it->second.type, it->second.data.data(), static_cast<DWORD>(it->second.data.size()), data, size);
        }
    }
    Query q(*s.db, "SELECT type, data FROM vals WHERE key=?1 AND lname=?2");
    int rc = q.Bind(1, h->canon).Bind(2, lname).Step();
    if (rc == SQLITE_DONE) {  // the value or its key
        s.Remember(std::move(slot), {false, 0, {}});
        return ERROR_FILE_NOT_FOUND;
    }
    if (rc != SQLITE_ROW) return s.Fault(rc);
    auto bytes = static_cast<const std::uint8_t*>(q.Blob(1));
    Store::CachedValue v{true, static_cast<DWORD>(q.Int(0)), std::vector<std::uint8_t>(bytes, bytes + q.Bytes(1))};
    if (type) *type = v.type;
    LONG r = CopyValue(v.type, v.data.data(), static_cast<DWORD>(v.data.size()), data, size);
    s.Remember(std::move(slot), std::move(v));
    return r;
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, void* data, DWORD* dataLen) {
    MIRELLE_REG_ENTER(s, key);
    if (LONG f = s.Fail("RegEnumValue")) return f;
    auto h = s.HandleOf(key);
    if (!h) return ERROR_INVALID_HANDLE;
    // A walk by ascending index (or a call again for the same index, with a
    // larger buffer) continues from the row the last call answered, while
    // nothing has changed the store since; anything else counts rows.
    Cursor& cur = h->values;
    bool follow = s.CacheCurrent() && cur.valid && cur.generation == s.generation &&
                  (index == cur.index || index == cur.index + 1);
    const char* byCursor = "SELECT id, name, type, data FROM vals WHERE key=?1 AND id >= ?2 ORDER BY id LIMIT 1";
    const char* byCount = "SELECT id, name, type, data FROM vals WHERE key=?1 ORDER BY id LIMIT 1 OFFSET ?2";
    Query q(*s.db, follow ? byCursor : byCount);
    q.Bind(1, h->canon);
    if (follow)
        q.Bind(2, index == cur.index ? cur.id : cur.id + 1);
    else
        q.Bind(2, static_cast<sqlite3_int64>(index));
    int rc = q.Step();
    cur.valid = false;
    if (rc == SQLITE_DONE) {
        LONG e = s.KeyExists(h->canon);
        return e ? e : ERROR_NO_MORE_ITEMS;
    }
    if (rc != SQLITE_ROW) return s.Fault(rc);
    cur = Cursor{true, index, s.generation, q.Int(0), {}};
    if (!name || !nameLen) return ERROR_INVALID_PARAMETER;
    std::string valueName = q.Text(1);
    if (valueName.size() + 1 > *nameLen) return ERROR_MORE_DATA;
    std::memcpy(name, valueName.c_str(), valueName.size() + 1);
    *nameLen = static_cast<DWORD>(valueName.size());
    DWORD valueType = static_cast<DWORD>(q.Int(2));
    if (type) *type = valueType;
    return CopyValue(valueType, q.Blob(3), q.Bytes(3), data, dataLen);
}

LONG RegEnumKey(HKEY key, DWORD index, std::string* name) {
    MIRELLE_REG_ENTER(s, key);
    auto h = s.HandleOf(key);
    if (!h) return ERROR_INVALID_HANDLE;
    Cursor& cur = h->subkeys;
    bool follow = s.CacheCurrent() && cur.valid && cur.generation == s.generation &&
                  (index == cur.index || index == cur.index + 1);
    const char* byCursor = "SELECT name, path FROM keys WHERE parent=?1 AND path >= ?2 ORDER BY path LIMIT 1";
    const char* byNext = "SELECT name, path FROM keys WHERE parent=?1 AND path > ?2 ORDER BY path LIMIT 1";
    const char* byCount = "SELECT name, path FROM keys WHERE parent=?1 ORDER BY path LIMIT 1 OFFSET ?2";
    Query q(*s.db, !follow ? byCount : index == cur.index ? byCursor : byNext);
    q.Bind(1, h->canon);
    if (follow)
        q.Bind(2, cur.path);
    else
        q.Bind(2, static_cast<sqlite3_int64>(index));
    int rc = q.Step();
    cur.valid = false;
    if (rc == SQLITE_DONE) {
        LONG e = s.KeyExists(h->canon);
        return e ? e : ERROR_NO_MORE_ITEMS;
    }
    if (rc != SQLITE_ROW) return s.Fault(rc);
    cur = Cursor{true, index, s.generation, 0, q.Text(1)};
    if (name) *name = q.Text(0);
    return ERROR_SUCCESS;
}

LONG RegDeleteValue(HKEY key, const std::string& name) {
    MIRELLE_REG_ENTER(s, key);
    auto h = s.HandleOf(key);
    if (!h) return ERROR_INVALID_HANDLE;
    return s.Write([&](std::vector<Change>& changes) -> LONG {
        Query q(*s.db, "DELETE FROM vals WHERE key=?1 AND lname=?2");
        int rc = q.Bind(1, h->canon).Bind(2, Lower(name)).Step();
        if (rc != SQLITE_DONE) return s.Fault(rc);
        if (sqlite3_changes(s.db->Db()) == 0) return ERROR_FILE_NOT_FOUND;
        changes.push_back({h->canon, kChangeValue});
        return ERROR_SUCCESS;
    });
}

static LONG DeleteKeyImpl(HKEY parent, const std::string& subKey, bool tree) {
    MIRELLE_REG_ENTER(s, parent);
    auto base = s.HandleOf(parent);
    if (!base) return ERROR_INVALID_HANDLE;
    std::string canon = Canon(Join(base->path, subKey));
    if (canon.find('\\') == std::string::npos) return ERROR_ACCESS_DENIED;  // roots stay
    return s.Write([&](std::vector<Change>& changes) -> LONG {
        if (LONG e = s.KeyExists(canon)) return e;
        if (!tree) {
            Query q(*s.db, "SELECT 1 FROM keys WHERE parent=?1 LIMIT 1");
            int rc = q.Bind(1, canon).Step();
            if (rc == SQLITE_ROW) return ERROR_KEY_HAS_CHILDREN;
            if (rc != SQLITE_DONE) return s.Fault(rc);
        }
        for (const char* sql : {"DELETE FROM vals WHERE key=?1 OR (key > ?2 AND key < ?3)",
                                "DELETE FROM keys WHERE path=?1 OR (path > ?2 AND path < ?3)"}) {
            Query q(*s.db, sql);
            int rc = q.Bind(1, canon).Bind(2, SubtreeLow(canon)).Bind(3, SubtreeHigh(canon)).Step();
            if (rc != SQLITE_DONE) return s.Fault(rc);
        }
        changes.push_back({ParentOfCanon(canon), kChangeName});
        changes.push_back({canon, kRemoved});
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteKey(HKEY parent, const std::string& subKey) { return DeleteKeyImpl(parent, subKey, false); }
LONG RegDeleteTree(HKEY parent, const std::string& subKey) { return DeleteKeyImpl(parent, subKey, true); }

LONG RegNotifyChangeKeyValue(HKEY key, bool watchSubtree, DWORD filter, std::shared_ptr<Event> event) {
    MIRELLE_REG_ENTER(s, key);
    if (LONG f = s.Fail("RegNotifyChangeKeyValue")) return f;
    if (!event) return ERROR_INVALID_PARAMETER;
    auto h = s.HandleOf(key);
    if (!h) return ERROR_INVALID_HANDLE;
    sqlite3_int64 since = 0;
    if (!s.file.empty()) {
        if (LONG e = s.LastChange(&since)) return e;
        if (!s.watcher) s.watcher = std::make_unique<Watcher>(s, s.file, s.origin, since);
    }
    std::lock_guard l(s.watchLock);
    s.watches.push_back({h->canon, watchSubtree, filter, std::move(event), since});
    return ERROR_SUCCESS;
}

bool SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    HKEY k;
    if (RegCreateKeyEx(root, path, &k) != ERROR_SUCCESS) return false;
    bool ok = RegSetValueEx(k, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

bool SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
    HKEY k;
    if (RegCreateKeyEx(root, path, &k) != ERROR_SUCCESS) return false;
    bool ok = RegSetValueEx(k, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(k);
    return ok;
}

std::optional<DWORD> GetDword(HKEY root, const std::string& path, const std::string& name) {
    HKEY k;
    if (RegOpenKeyEx(root, path, &k) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG r = RegQueryValueEx(k, name, &type, &value, &size);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return std::nullopt;
    return value;
}

std::optional<std::string> GetString(HKEY root, const std::string& path, const std::string& name) {
    HKEY k;
    if (RegOpenKeyEx(root, path, &k) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    LONG r = RegQueryValueEx(k, name, &type, nullptr, &size);
    std::string out(size, '\0');
    if (r == ERROR_SUCCESS && size) r = RegQueryValueEx(k, name, &type, out.data(), &size);
    RegCloseKey(k);
    if (r != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    out.resize(std::min<std::size_t>(out.size(), size));
    if (auto z = out.find('\0'); z != std::string::npos) out.resize(z);
    return out;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY k;
    if (RegOpenKeyEx(root, path, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

}  // namespace reg
