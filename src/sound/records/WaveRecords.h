#pragma once
// Every parameter record of the wave operations, the file-format record and the wave reference.

#include "sound/records/ComplexRecords.h"
#include "sound/records/GeneratorRecords.h"
#include "sound/records/MFreqRecords.h"
#include "sound/records/MergeRecords.h"
#include "sound/records/OperationRecords.h"
#include "sound/records/WaveFileProps.h"
#include "sound/records/WaveReference.h"
