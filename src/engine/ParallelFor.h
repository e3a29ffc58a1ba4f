#pragma once

#include <functional>

class QThreadPool;

// Calls body(i) once for every i in [0, count), on the calling thread and on
// threads of the engine's pool (parallelForPool), at most maxThreads at once
// counting the caller (0: as many as the pool has threads). Returns when every call has
// returned. The indices are handed out one at a time in rising order, so
// bodies of uneven cost still spread evenly.
//
// The caller always takes part and never waits for a helper that has not
// started: a body may itself call parallelFor, and with every pool thread
// busy the caller simply does all the work alone.
//
// When a body throws, the indices not yet begun are skipped and the first
// exception is thrown again on the calling thread once the others have
// stopped.
void parallelFor(int count, const std::function<void(int)>& body, int maxThreads = 0);

// The pool the helpers come from: the engine's own, not Qt's global pool,
// which Qt's image conversions use and wait on.
QThreadPool* parallelForPool();
