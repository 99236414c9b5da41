// Filling the music folder's list straight from the music database: the
// columns of the folder's kind (its headings), then one row per child (or per song), in
// the order the database sorts them, with redraw off meanwhile.
#pragma once

#include "platform/base/cstring.h"
#include "platform/com/hresult.h"
#include "platform/ui/ui_types.h"
#include "shellfolder/list_columns.h"

// Rows whose icon a module resource does not hold end the fill with the
// system's error; a failing database call ends it with E_FAIL. Either way
// the rows added so far stay and redraw is switched on again. Each row's
// lParam is its child's id (under the junction: 0 Music, 1 Play Lists), or
// a song's id.
HRESULT FillList(HWND list, HINSTANCE resources, const ShownFolder& folder,
                 const std::vector<CString>& headings, const CString& sortName, bool ascending);
