// Writes the piece files of a batch on a thread of its own, in the order the
// batch joins them, so that a batch whose names lie outside ASCII starts at
// once and the window's thread never waits for thousands of file creations.
//
// A piece appears under its name only when it is whole (written under a
// name of its own, then renamed), so a batch that finds it may join it; one
// that gets ahead waits for it (BatchText's wait script). A piece that exists
// already is kept: a restart writes the same bytes under the same names.
// The thread uses only what it was given, and Stop (called at Stop, at exit
// and at session end) waits for it, so it never outlives the run's files.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class KestPieceWriter {
public:
    // The pieces of one batch, kept as one buffer: a batch of many thousand
    // drawings costs no allocation per piece on the window's thread.
    struct Pieces {
        std::wstring folder;
        std::string bytes;   // every piece's bytes, one after the other
        struct Entry {
            size_t number;
            const wchar_t* extension;
            size_t end;   // in bytes
        };
        std::vector<Entry> entries;

        void Add(size_t number, const wchar_t* extension, const std::string& piece);
        std::wstring Path(size_t index) const;
        std::string Bytes(size_t index) const;
    };

    KestPieceWriter() = default;
    ~KestPieceWriter();
    KestPieceWriter(const KestPieceWriter&) = delete;
    KestPieceWriter& operator=(const KestPieceWriter&) = delete;

    // Stops any earlier work, forgets its failure and writes these, in order.
    void Start(Pieces pieces);
    // Writes nothing more and waits for the thread; what is written stays,
    // a failure is forgotten (the run it stopped is over).
    void Stop();
    // The first piece that could not be written (writing stopped there), or empty.
    std::wstring Failed() const;
    // Waits up to ms until every piece is written or one failed; true when all are written.
    bool WaitWritten(DWORD ms);
    // Test seam: while held, the thread writes nothing.
    void Hold(bool held);

    // Writes one piece as the thread does; false when it could not.
    static bool Write(const std::wstring& path, const std::string& bytes);
    // Deletes a temporary file, or a pieces folder with every file in it.
    static void DeleteTempPath(const std::wstring& path);

private:
    void Run();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Pieces m_pieces;
    size_t m_next = 0;
    bool m_stop = false;
    bool m_held = false;
    std::wstring m_failed;
    std::thread m_thread;
};
