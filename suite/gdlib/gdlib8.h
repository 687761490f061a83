/* The engine library's C interface, shared by the optimizing side and the Watcher.
 *
 * Results are 16-bit codes: 0 = success, negative = an error whose text GdGetErrorTextWVB gives
 * (and whose details GdGetExceptionInfoWVB gives). Strings are UTF-8. Arrays are caller buffers
 * with capacities; an optional output array may be null (not wanted). Every shared name derives from
 * the suite runtime directory (ORRENDEL_RUNTIME_DIR), so two suites on one machine never meet. */
#ifndef CORVANA_GDLIB8_H
#define CORVANA_GDLIB8_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define GD_EXPORT __attribute__((visibility("default")))

#define GDLIB_VERSION 80000 /* 8.0.0 */

/* Result codes. */
#define GdOk 0
#define GdErrInvalidArgument (-1)
#define GdErrUnknownHandle (-2)
#define GdErrChannelOutOfRange (-3)
#define GdErrBadByteCount (-4)
#define GdErrNullPointer (-5)
#define GdErrBufferTooSmall (-6)
#define GdErrLogNotFound (-7)
#define GdErrLogCorrupt (-8)
#define GdErrRecordOutOfRange (-9)
#define GdErrNoSpace (-10)
#define GdErrSystem (-11)
#define GdErrNotOwner (-12)
#define GdErrNoPendingOrganism (-13)
#define GdErrPopulationGone (-14) /* the optimizing side freed the population or ended */
#define GdErrLogExists (-15)
#define GdErrInternal (-16)
#define GdErrTimeout (-17)

/* Run status (16-bit). */
#define GdRunStatusOptimizing 2
#define GdRunStatusMarkToStop 3
#define GdRunStatusMarkToPause 4
#define GdRunStatusPaused 5
#define GdRunStatusStopped 6
#define GdRunStatusMarkToMoveToNextOptimization 7

/* Solving methods of a group of genes. */
#define GdMethodRecipe 1   /* each gene anywhere in its range */
#define GdMethodOrder 2    /* the genes are a permutation of 1..n */
#define GdMethodGrouping 3 /* each gene names one of GroupCount groups, 1..GroupCount */
#define GdMethodBudget 4   /* genes in their ranges with a fixed sum (Budget) */

#define GdGoalMaximize 1
#define GdGoalMinimize 2

/* Temp-data channels: numbers 0..GD_CHANNEL_COUNT-1, 8 bytes each. */
#define GD_CHANNEL_COUNT 256

/* Trial-log record kinds (argument 3 of GdLogReadRecordWVB in a single-optimization log). */
#define GdLogKindTrial 0
#define GdLogKindProgressStep 1

/* Worker processes that evaluate organisms of one population at once: numbers 1..GD_MAX_WORKERS
 * (0 is the owner's own GdPopNextOrganism / GdPopReportResult). */
#define GD_MAX_WORKERS 64
#define GdWorkerIdle 0
#define GdWorkerEvaluating 1
#define GdWorkerRequeued 2 /* its worker is gone; the next taker gets the organism */

/* Organism flags of GdOrgGetResult. */
#define GdOrgFlagEvaluated 1
#define GdOrgFlagFeasible 2

/* One group of genes given to GdPopCreate. */
typedef struct GdGroupSpec {
  int32_t SolvingMethod;  /* GdMethod... */
  int32_t GeneCount;      /* >= 1 */
  const double* Minimums; /* GeneCount values; recipe and budget only (else may be null) */
  const double* Maximums; /* GeneCount values; recipe and budget only */
  double Budget;          /* budget: the fixed sum of the genes */
  int32_t GroupCount;     /* grouping: number of groups, >= 1 */
  int32_t AutoMutation;   /* nonzero: the engine adapts the mutation rate */
  double CrossoverRate;   /* 0..1 */
  double MutationRate;    /* 0..1; with AutoMutation the starting rate */
} GdGroupSpec;

/* Argument 12 of GdLogReadRecordWVB: further figures of a record (64 bytes). */
typedef struct GdLogRecordInfo {
  double ElapsedSeconds;          /* 0: run time when the trial ended */
  double Mean;                    /* 8: simulation statistics of the trial */
  double StandardDeviation;       /* 16 */
  double Minimum;                 /* 24 */
  int32_t SimulationIterations;   /* 32 */
  int32_t ValidTrialCount;        /* 36: valid trials up to this record */
  double Maximum;                 /* 40 */
  double EFConstrainedValue;      /* 48: efficient frontier: the constraining value in force */
  int32_t EFFlag;                 /* 56: efficient frontier: 1 when the trial met the constraint */
  int32_t ConstrainingValueIndex; /* 60: 1-based optimization of the series; 1 without a series */
} GdLogRecordInfo;

/* A record appended by GdLogAppendRecord. Arrays hold the log's constraint and gene counts. */
typedef struct GdLogRecord {
  int32_t Kind;        /* GdLogKindTrial or GdLogKindProgressStep */
  int32_t TrialNumber; /* trial number (a progress step: the trial that set the best) */
  double ValueWithoutPenalties;
  double ValueWithPenalties;
  const double* ConstraintStatus; /* 1 met, 0 not met */
  const double* ConstraintValues;
  const double* ConstraintPenalties;
  const double* GeneValues;
  GdLogRecordInfo Info;
} GdLogRecord;

/* ---- Library ---- */
GD_EXPORT int32_t GdGetVersion(void);             /* GDLIB_VERSION */
GD_EXPORT int16_t GdSetProgramMode(int32_t mode); /* 1 = called by a watcher */
GD_EXPORT int16_t GdInit3(int32_t a, int32_t loggingFlags, int32_t c, const char* s); /* flags 8: log */
GD_EXPORT int16_t GdFree(void); /* frees what this process holds */
GD_EXPORT int16_t GdGetErrorTextWVB(int32_t errorNumber, char* text, int32_t capacity); /* text of a code */
/* Details of the last failure with this code in this process; nonzero when details exist. */
GD_EXPORT int16_t GdGetExceptionInfoWVB(int32_t errorNumber, char* name, int32_t nameCapacity, char* method,
                                        int32_t methodCapacity, char* message, int32_t messageCapacity);

/* ---- Population: optimizing side ---- */
/* Creates a population of populationSize organisms in shared memory; *popHandle names it. */
GD_EXPORT int16_t GdPopCreate(const GdGroupSpec* groups, int32_t groupCount, int32_t populationSize,
                              int32_t goal, uint64_t seed, int32_t* popHandle);
/* Starting genes of organism 1 (the original solution), all groups in order. Before the first trial. */
GD_EXPORT int16_t GdPopSetInitialGenes(int32_t popHandle, const double* genes, int32_t count);
/* The next organism to evaluate: its genes, all groups in order (*count = gene total). */
GD_EXPORT int16_t GdPopNextOrganism(int32_t popHandle, double* genes, int32_t capacity, int32_t* count);
/* Result of the organism GdPopNextOrganism gave; *isNewBest nonzero when it beats every earlier one. */
GD_EXPORT int16_t GdPopReportResult(int32_t popHandle, double valueWithoutPenalties,
                                    double valueWithPenalties, int32_t feasible, int32_t* isNewBest);
/* Best organism so far: genes and value with penalties. GdErrRecordOutOfRange before any result. */
GD_EXPORT int16_t GdPopGetBest(int32_t popHandle, double* genes, int32_t capacity,
                               double* valueWithPenalties);
GD_EXPORT int32_t GdPopGetTrialCount(int32_t popHandle); /* results reported; <0 error */
GD_EXPORT int16_t GdPopFree(int32_t popHandle);          /* owner only; removes the segment */

/* ---- Population: worker processes ---- */
/* Hands worker `worker` an organism to evaluate: a requeued one first, else a child bred afresh. */
GD_EXPORT int16_t GdPopTakeOrganism(int32_t popHandle, int32_t worker, double* genes, int32_t capacity,
                                    int32_t* count);
/* The result of worker `worker`'s organism (any process may report it, usually the owner). */
GD_EXPORT int16_t GdPopReportOrganism(int32_t popHandle, int32_t worker, double valueWithoutPenalties,
                                      double valueWithPenalties, int32_t feasible, int32_t* isNewBest);
/* The worker is gone: its organism, if it had one, goes to the next taker. */
GD_EXPORT int16_t GdPopRequeueOrganism(int32_t popHandle, int32_t worker);
/* GdWorker... and the process that took the organism (0 when none). */
/* Removes this user's population segments whose owner has ended without freeing them (a worker
 * whose add-in died calls it); the number removed, <0 error. */
GD_EXPORT int32_t GdPopReclaimStale(void);
GD_EXPORT int16_t GdPopGetWorkerState(int32_t popHandle, int32_t worker, int32_t* state, int32_t* pid);

/* ---- Population: both sides ---- */
GD_EXPORT int16_t GdPopLock(int32_t popHandle); /* robust; recovers from a holder that died */
/* GdPopLock that gives up with GdErrTimeout after `milliseconds`. */
GD_EXPORT int16_t GdPopTryLock(int32_t popHandle, int32_t milliseconds);
GD_EXPORT int16_t GdPopUnlock(int32_t popHandle);
GD_EXPORT int16_t GdPopGetRunStatus(int32_t popHandle); /* 2..7; <0 error */
GD_EXPORT int16_t GdPopSetRunStatus(int32_t popHandle, int16_t status);
GD_EXPORT int32_t GdPopGetTimerValue(int32_t popHandle);      /* ms run time (not paused); <0 error */
GD_EXPORT int32_t GdPopGetSize(int32_t popHandle);            /* organisms; <0 error */
GD_EXPORT int32_t GdPopGetChromosomeCount(int32_t popHandle); /* groups; <0 error */
/* Organism 1..N, N = the best, 1 = the worst; value with penalties, objective without penalties. */
GD_EXPORT int16_t GdOrgGetResult(int32_t popHandle, int32_t organism, double* value, double* objective,
                                 int32_t reserved, int32_t* flags);
GD_EXPORT int16_t GdOrgGetGenes(int32_t popHandle, int32_t organism, double* genes, int32_t capacity,
                                int32_t* count);                            /* all groups in order */
GD_EXPORT int32_t GdChrGetGeneCount(int32_t popHandle, int32_t chromosome); /* genes of a group; <0 error */
GD_EXPORT int32_t GdChrGetSolvingMethod(int32_t popHandle, int32_t chromosome); /* GdMethod...; <0 error */
GD_EXPORT int16_t GdGeneGetValue(int32_t popHandle, int32_t chromosome, int32_t gene, int32_t organism,
                                 double* value);
GD_EXPORT int16_t GdGeneGetRange(int32_t popHandle, int32_t chromosome, int32_t gene, double* minimum,
                                 double* maximum);
GD_EXPORT int16_t GdChrGetCrossoverRate(int32_t popHandle, int32_t chromosome, double* rate);
GD_EXPORT int16_t GdChrSetCrossoverRate(int32_t popHandle, int32_t chromosome, double rate); /* 0..1 */
GD_EXPORT int16_t GdChrGetCurrentMutationRate(int32_t popHandle, int32_t chromosome, double* rate);
/* Mutation mode of a group: *isAuto nonzero when automatic; *rate the fixed (or starting) rate. */
GD_EXPORT int16_t GdChrGetMutationMode(int32_t popHandle, int32_t chromosome, int32_t* isAuto, double* rate);
/* Sets a fixed mutation rate 0..1 (ends automatic mode); a negative rate switches to automatic. */
GD_EXPORT int16_t GdChrSetMutationMode(int32_t popHandle, int32_t chromosome, double rate);

/* ---- Temp-data channels ---- */
GD_EXPORT int16_t GdReadTempData(int16_t channel, void* value, int32_t numBytes);        /* 2, 4 or 8 */
GD_EXPORT int16_t GdWriteTempData(int16_t channel, const void* value, int32_t numBytes); /* 2, 4 or 8 */

/* ---- Trial log: writer (optimizing side) ---- */
/* Creates a new log (never overwrites) with its header; *logHandle is for the appends. */
GD_EXPORT int16_t GdLogCreate(const char* path, int32_t numChromosomes, int32_t numGenes,
                              int32_t numConstraints, const char* const* constraintNames,
                              const int32_t* hardNotSoft, const int32_t* hasValue,
                              int32_t isEfficientFrontier, int32_t* logHandle);
GD_EXPORT int16_t GdLogAppendRecord(int32_t logHandle, int32_t constrainingValueIndex,
                                    const GdLogRecord* record);
GD_EXPORT int16_t GdLogClose(int32_t logHandle);

/* ---- Trial log: reader ---- */
GD_EXPORT int16_t GdLogGetRecordCountsWVB(const char* path, int32_t* trialCount, int32_t* progressStepCount);
/* Counts of one optimization of a series (index >= 1); index 0, or a log without a series: the whole log. */
GD_EXPORT int16_t GdLogGetRecordCounts2WVB(const char* path, int32_t* trialCount,
                                           int32_t constrainingValueIndex, int32_t* progressStepCount);
/* One record. selector 0: trial recordNumber of the whole log. Otherwise progress step recordNumber: of
 * the whole log without a series, of optimization `selector` in a series. */
GD_EXPORT int16_t GdLogReadRecordWVB(const char* path, int32_t recordNumber, int32_t selector,
                                     int32_t* elapsedSeconds, double* valueWithoutPenalties,
                                     double* valueWithPenalties, int32_t* trialNumber,
                                     double* constraintStatus, double* constraintValues,
                                     double* constraintPenalties, int32_t constraintCapacity,
                                     double* geneValues, int32_t geneCapacity, GdLogRecordInfo* info);
GD_EXPORT int16_t GdLogGetCountsWVB(const char* path, int32_t* numChromosomes, int32_t* numGenes,
                                    int32_t* numConstraints, int32_t* isEfficientFrontier);
GD_EXPORT int16_t GdLogGetConstraintInfoWVB(const char* path, int32_t constraintNum, char* name,
                                            int32_t nameCapacity, int32_t* hardNotSoft, int32_t* hasValue);

#ifdef __cplusplus
}
#endif

#endif
