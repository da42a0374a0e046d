// Saving, preparing and restoring the host profile that the batch run uses,
// and the search folder list built from the saved support path.
#pragma once
#include "../app/CKestNoluApp.h"

// Save (once per process), Prepare (the batch run's values) or Restore
// (everything as saved). Prepare and Restore act only after a save. While a
// journal exists, its values are the saved ones and the save leaves it alone.
// False only from Prepare when no journal could be kept: then nothing is written.
bool PrepareHostProfile(ProfileStep step);
// Fills the search folder list from the saved support path, or from the
// host's default support path when that is empty.
void BuildSearchFolderList();

// Test hook: forget the save and the call count.
void ResetHostProfileForTest();
