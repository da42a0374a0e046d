// A list's characters from bytes already in memory, for the list parser.
#pragma once
#include "DmlFormat.h"
#include "MultiByteReader.h"

#include <utility>

class MemoryChars : public DmlCharSource {
public:
    explicit MemoryChars(MultiByteReader reader) : m_reader(std::move(reader)) {}
    bool ReadChar(wchar_t& c) override { return m_reader.ReadChar(c); }
    uint64_t Position() const override { return m_reader.Position(); }

private:
    MultiByteReader m_reader;
};
