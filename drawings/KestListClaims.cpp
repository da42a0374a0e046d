#include "KestListClaims.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <limits>

namespace {
const wchar_t kLayoutName[] = L"list.txt";
const wchar_t kFinishedName[] = L"finished";
// More generations of one batch mean a broken folder, not stopped workstations.
const unsigned kMaxGenerations = 1000;

std::string Utf8(const std::wstring& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = static_cast<uint32_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(text[++i]) - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string LayoutText(size_t batchSize, size_t entryCount)
{
    return "batch=" + std::to_string(batchSize) + "\r\nentries=" + std::to_string(entryCount) + "\r\n";
}

bool ParseLayout(const std::string& text, size_t& batchSize, size_t& entryCount)
{
    unsigned long long size = 0, count = 0;
    if (std::sscanf(text.c_str(), "batch=%llu entries=%llu", &size, &count) != 2 || size == 0 ||
        size > std::numeric_limits<size_t>::max() || count > std::numeric_limits<size_t>::max())
        return false;
    batchSize = static_cast<size_t>(size);
    entryCount = static_cast<size_t>(count);
    return true;
}

std::wstring WithoutExtension(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/:");
    size_t dot = path.rfind(L'.');
    return dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash) ? path : path.substr(0, dot);
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::wstring Padded(size_t number)
{
    std::wstring digits = std::to_wstring(number);
    return std::wstring(digits.size() < 6 ? 6 - digits.size() : 0, L'0') + digits;
}
}

KestListClaims::KestListClaims(ClaimFolder& folder, const std::wstring& computer, uint32_t processId,
                               int64_t staleSeconds, MarkReader readMarks, Clock clock)
    : m_folder(folder),
      m_content("Transmora claim\r\ncomputer=" + Utf8(computer) + "\r\nprocess=" + std::to_string(processId) +
                "\r\n"),
      m_staleSeconds(staleSeconds),
      m_readMarks(std::move(readMarks)),
      m_clock(std::move(clock))
{
}

std::wstring KestListClaims::FolderFor(const std::wstring& listPath) { return WithoutExtension(listPath) + L".claims"; }

std::wstring KestListClaims::WorkstationFile(const std::wstring& listPath, const std::wstring& computer,
                                             const std::wstring& extension)
{
    return WithoutExtension(listPath) + L"-" + computer + L"." + extension;
}

std::wstring KestListClaims::ClaimName(size_t batch, unsigned generation) const
{
    return Padded(batch) + L"-" + std::to_wstring(generation) + L".claim";
}

std::wstring KestListClaims::DoneName(size_t batch) const { return Padded(batch) + L".done"; }

bool KestListClaims::FixLayout(size_t batchSize, size_t entryCount, Next& failure)
{
    failure = Next::Failed;
    if (m_batchSize != 0) {
        failure = m_folder.Exists(kLayoutName) ? Next::OtherList : Next::Finished;
        return failure == Next::OtherList && m_entryCount == entryCount;
    }
    if (batchSize == 0 || !m_folder.Make())
        return false;
    std::string text;
    if (!m_folder.Read(kLayoutName, text)) {
        // Written whole under a name of its own, then moved in: a reader never sees half of it.
        std::wstring temp = L"list." + std::to_wstring(std::hash<std::string>()(m_content)) + L".tmp";
        m_folder.Remove(temp);
        if (m_folder.CreateNew(temp, LayoutText(batchSize, entryCount)) != ClaimFolder::Created::Yes)
            return false;
        if (!m_folder.MoveNoReplace(temp, kLayoutName))
            m_folder.Remove(temp);
        if (!m_folder.Read(kLayoutName, text))
            return false;
    }
    size_t size = 0, count = 0;
    if (!ParseLayout(text, size, count))
        return false;
    if (count != entryCount) {
        failure = Next::OtherList;
        return false;
    }
    m_batchSize = size;
    m_entryCount = count;
    return true;
}

bool KestListClaims::AllMarked(const std::vector<bool>& marks, size_t batch) const
{
    size_t end = std::min(marks.size(), (batch + 1) * m_batchSize);
    for (size_t i = batch * m_batchSize; i < end; ++i)
        if (!marks[i])
            return false;
    return true;
}

bool KestListClaims::IsDone(size_t batch)
{
    if (m_done.count(batch))
        return true;
    if (!m_folder.Exists(DoneName(batch)))
        return false;
    m_done.insert(batch);
    return true;
}

KestListClaims::Claim KestListClaims::TryClaim(size_t batch, int64_t& retryAt)
{
    for (unsigned generation = 0; generation < kMaxGenerations; ++generation) {
        std::wstring name = ClaimName(batch, generation);
        ClaimFolder::Created created = m_folder.CreateNew(name, m_content);
        if (created == ClaimFolder::Created::Yes) {
            if (generation == 0)
                m_takenFrom.clear();
            m_held[batch] = generation;
            m_folder.SetLastWrite(name, m_now);
            return Claim::Made;
        }
        if (created == ClaimFolder::Created::Failed)
            return Claim::Failed;
        if (m_folder.Exists(ClaimName(batch, generation + 1)))
            continue;
        // This generation is the newest claim: taken over only when its heartbeat stopped.
        int64_t heartbeat = 0;
        if (!m_folder.LastWrite(name, heartbeat)) {
            // Gone meanwhile: done or given up; look again at the next request.
            retryAt = std::min(retryAt, m_now);
            return Claim::Busy;
        }
        int64_t staleAt = heartbeat + m_staleSeconds;
        if (m_now < staleAt) {
            retryAt = std::min(retryAt, staleAt);
            return Claim::Busy;
        }
        if (!m_folder.Read(name, m_takenFrom))
            m_takenFrom.clear();
    }
    return Claim::Failed;
}

KestListClaims::Next KestListClaims::NextBatch(size_t batchSize, size_t& batch, std::vector<size_t>& entries,
                                               int64_t* waitSeconds)
{
    entries.clear();
    m_takenFrom.clear();
    int64_t retry = std::numeric_limits<int64_t>::max();
    if (waitSeconds)
        *waitSeconds = 0;
    std::vector<bool> marks;
    if (!m_readMarks(marks))
        return Next::Unreadable;
    // A list run to its end needs no claims folder: none is made again.
    if (m_batchSize == 0 && std::find(marks.begin(), marks.end(), false) == marks.end())
        return Next::Finished;
    Next failure;
    if (!FixLayout(batchSize, marks.size(), failure))
        return failure;
    m_now = m_clock();   // once the folder is there: the server's clock is read in it

    bool busy = false;
    size_t batches = (marks.size() + m_batchSize - 1) / m_batchSize;
    for (size_t b = 0; b < batches; ++b) {
        if (m_held.count(b) || AllMarked(marks, b) || IsDone(b))
            continue;
        Claim claim = TryClaim(b, retry);
        busy = busy || claim == Claim::Busy;
        if (claim == Claim::Failed)
            return m_folder.Exists(kLayoutName) ? Next::Failed : Next::Finished;
        if (claim != Claim::Made)
            continue;
        // Held now: what was marked or done until the claim was made is not run again.
        if (!m_readMarks(marks)) {
            Release(b);
            return Next::Unreadable;
        }
        if (marks.size() != m_entryCount) {
            Release(b);
            return Next::OtherList;
        }
        if (IsDone(b)) {
            Release(b);
            continue;
        }
        size_t end = std::min(marks.size(), (b + 1) * m_batchSize);
        for (size_t i = b * m_batchSize; i < end; ++i)
            if (!marks[i])
                entries.push_back(i);
        if (entries.empty()) {
            Done(b);
            continue;
        }
        batch = b;
        return Next::Batch;
    }
    if (waitSeconds && retry != std::numeric_limits<int64_t>::max())
        *waitSeconds = std::max<int64_t>(0, retry - m_now);
    return busy || !m_held.empty() ? Next::Wait : Next::Finished;
}

bool KestListClaims::TakenOver(std::string& computer, uint32_t& process) const
{
    const std::string computerKey = "\ncomputer=", processKey = "\nprocess=";
    size_t at = m_takenFrom.find(computerKey);
    if (at == std::string::npos)
        return false;
    at += computerKey.size();
    computer = m_takenFrom.substr(at, m_takenFrom.find('\r', at) - at);
    at = m_takenFrom.find(processKey);
    unsigned long number = 0;
    process = at != std::string::npos && std::sscanf(m_takenFrom.c_str() + at + processKey.size(), "%lu", &number) == 1
                  ? static_cast<uint32_t>(number)
                  : 0;
    return true;
}

bool KestListClaims::StillMine(size_t batch)
{
    auto held = m_held.find(batch);
    if (held == m_held.end())
        return false;
    std::string content;
    // A claim of this run's generation that names another run was made anew after this one was taken over.
    bool mine = m_folder.Read(ClaimName(batch, held->second), content) && content == m_content &&
                !m_folder.Exists(ClaimName(batch, held->second + 1)) && !m_folder.Exists(DoneName(batch));
    if (!mine)
        m_held.erase(held);
    return mine;
}

void KestListClaims::Renew(std::vector<size_t>* lost)
{
    m_now = m_clock();
    std::vector<size_t> batches;
    for (const auto& held : m_held)
        batches.push_back(held.first);
    for (size_t b : batches) {
        if (!StillMine(b)) {
            if (lost)
                lost->push_back(b);
            continue;
        }
        m_folder.SetLastWrite(ClaimName(b, m_held[b]), m_now);
    }
}

void KestListClaims::RemoveGenerations(size_t batch, unsigned upTo)
{
    for (unsigned g = upTo + 1; g-- > 0;)
        m_folder.Remove(ClaimName(batch, g));
}

bool KestListClaims::Done(size_t batch)
{
    if (!StillMine(batch))
        return false;
    unsigned generation = m_held[batch];
    bool made = m_folder.CreateNew(DoneName(batch), m_content) != ClaimFolder::Created::Failed;
    if (made) {
        m_done.insert(batch);
        m_ranBatch = true;
        RemoveGenerations(batch, generation);
    }
    m_held.erase(batch);
    return made;
}

void KestListClaims::Release(size_t batch)
{
    auto held = m_held.find(batch);
    if (held == m_held.end())
        return;
    unsigned generation = held->second;
    m_held.erase(held);
    std::string content;
    if (m_folder.Read(ClaimName(batch, generation), content) && content == m_content &&
        !m_folder.Exists(ClaimName(batch, generation + 1)))
        RemoveGenerations(batch, generation);
}

bool KestListClaims::ClaimLast()
{
    std::vector<bool> marks;
    if (!m_ranBatch || !m_held.empty() || !m_readMarks(marks) || marks.size() != m_entryCount)
        return false;
    size_t batches = (marks.size() + m_batchSize - 1) / m_batchSize;
    for (size_t b = 0; b < batches; ++b)
        if (!AllMarked(marks, b) && !IsDone(b))
            return false;
    // Another workstation still about to call its batch done finishes the list after this one.
    m_now = m_clock();
    std::vector<std::wstring> names;
    if (!m_folder.List(names))
        return false;
    int64_t heartbeat = 0;
    for (const std::wstring& name : names)
        if (EndsWith(name, L".claim") && m_folder.LastWrite(name, heartbeat) &&
            m_now < heartbeat + m_staleSeconds)
            return false;
    if (m_folder.CreateNew(kFinishedName, m_content) != ClaimFolder::Created::Yes)
        return false;
    if (m_folder.Exists(kLayoutName))
        return true;
    // Finished and being removed by another, who removed its own "finished" already.
    m_folder.Remove(kFinishedName);
    m_folder.RemoveFolder();
    return false;
}

bool KestListClaims::Survey(Progress& progress)
{
    m_now = m_clock();
    progress = Progress();
    std::vector<bool> marks;
    if (!m_readMarks(marks))
        return false;
    progress.entries = marks.size();
    progress.marked = static_cast<size_t>(std::count(marks.begin(), marks.end(), true));
    std::vector<std::wstring> names;
    m_folder.List(names);   // no folder: nothing claimed yet
    // A batch taken over has claims of several generations: its newest one counts.
    std::map<std::wstring, std::pair<unsigned long, std::wstring>> newest;
    for (const std::wstring& name : names) {
        size_t dash = name.find(L'-');
        if (EndsWith(name, L".done")) {
            ++progress.done;
        } else if (EndsWith(name, L".claim") && dash != std::wstring::npos) {
            unsigned long generation = std::wcstoul(name.c_str() + dash + 1, nullptr, 10);
            auto& claim = newest[name.substr(0, dash)];
            if (claim.second.empty() || generation > claim.first)
                claim = {generation, name};
        }
    }
    for (const auto& claim : newest) {
        int64_t heartbeat = 0;
        if (m_folder.LastWrite(claim.second.second, heartbeat))
            ++(m_now < heartbeat + m_staleSeconds ? progress.held : progress.stale);
    }
    return true;
}

void KestListClaims::RemoveAll()
{
    m_folder.Remove(kLayoutName);
    std::vector<std::wstring> names;
    m_folder.List(names);
    for (const std::wstring& name : names)
        if (name != kFinishedName)
            m_folder.Remove(name);
    m_folder.Remove(kFinishedName);
    // Another workstation may have looked at the server's clock in the folder just now.
    for (int attempt = 0; attempt < 3 && !m_folder.RemoveFolder(); ++attempt) {
        names.clear();
        m_folder.List(names);
        for (const std::wstring& name : names)
            m_folder.Remove(name);
    }
    m_held.clear();
    m_done.clear();
}
