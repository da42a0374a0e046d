// A file opened read-only in byte mode as a preview source; closed when the source is destroyed.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "PreviewSource.h"

class PreviewFileSource : public PreviewSource {
public:
    // The open file, or null when it cannot be opened.
    static std::unique_ptr<PreviewFileSource> Open(const std::wstring& path);
    ~PreviewFileSource() override;
    PreviewFileSource(const PreviewFileSource&) = delete;
    PreviewFileSource& operator=(const PreviewFileSource&) = delete;

    uint64_t Size() const override { return m_size; }
    bool ReadAt(uint64_t offset, void* dst, size_t n) override;

private:
    PreviewFileSource(std::FILE* file, uint64_t size) : m_file(file), m_size(size) {}

    std::FILE* m_file;
    uint64_t m_size;
};
