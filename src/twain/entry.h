// The entry point's logic, kept apart from the exported symbol so tests can call it directly.
#pragma once

#include "twain/data_source.h"
#include "twain/records.h"
#include "twain/word_key_rule.h"

namespace tarnwick {

// DS_Entry on the process-wide objects.
TW_UINT16 dsEntry(TW_IDENTITY* pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                  TW_MEMREF pData);

// DS_Entry on a given source: the word-like application rule, then dispatch. No exception
// leaves it: an exhausted heap answers TWCC_LOWMEMORY, anything else TWCC_BUMMER.
TW_UINT16 enterSource(DataSource& source, const WordKeyLinks& links, TW_IDENTITY* pOrigin,
                      TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);

// The process-wide data source.
DataSource& processDataSource();

}  // namespace tarnwick
