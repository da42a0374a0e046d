// The profile journal: the saved host profile values kept in the registry
// (under the migration settings key) from the save step until a restore has
// put them all back, so that a Transmora that dies during a run cannot leave
// the batch run's values behind as the user's own.
#pragma once
#include "KestJournalCodec.h"

#include <vector>

enum class JournalRead { None, Found, Damaged };

// Name of the journal value under the migration settings key.
extern const wchar_t kProfileJournalValue[];
// The profile value that counts runs; the restore keeps the run's count in it.
extern const wchar_t kRunCountValue[];

// A binary value of the migration settings key. Reading gives None when it is
// missing or cannot be read, Damaged when it is not binary.
bool WriteBinarySetting(const wchar_t* name, const std::vector<uint8_t>& bytes);
JournalRead ReadBinarySetting(const wchar_t* name, std::vector<uint8_t>& bytes);

bool WriteProfileJournal(const std::vector<KestJournalValue>& values);
// Damaged: the value exists but is not a journal this program wrote.
JournalRead ReadProfileJournal(std::vector<KestJournalValue>& values);
void RemoveProfileJournal();
// Puts every value back exactly (a value missing before is deleted, present
// ones get their own type and bytes). "Repeat Count" keeps the count of the
// run unless withRunCount is set or it was not a count. True when all went back.
bool PutBackJournal(const std::vector<KestJournalValue>& values, bool withRunCount);
