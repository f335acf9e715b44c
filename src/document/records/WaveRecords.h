#pragma once
// Every parameter record of the wave operations, the file-format record and the wave reference.

#include "document/records/ComplexRecords.h"
#include "document/records/GeneratorRecords.h"
#include "document/records/MFreqRecords.h"
#include "document/records/MergeRecords.h"
#include "document/records/OperationRecords.h"
#include "document/records/WaveFileProps.h"
#include "document/records/WaveReference.h"
