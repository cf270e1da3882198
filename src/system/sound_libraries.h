// libsndfile and libsoxr, opened when the first sound of another format is
// read or resampled (system/shared_library.h): the functions the decoder
// and the resampler use, typed by the libraries' own headers.
#pragma once

#include <sndfile.h>
#include <soxr.h>

#include <string>

namespace pelisto {

struct SndfileFunctions {
  decltype(&sf_open_virtual) openVirtual;
  decltype(&sf_close) close;
  decltype(&sf_readf_float) readfFloat;
  decltype(&sf_readf_short) readfShort;
  decltype(&sf_command) command;
  decltype(&sf_error) error;
  decltype(&sf_strerror) strerror;
};

struct SoxrFunctions {
  decltype(&soxr_create) create;
  decltype(&soxr_process) process;
  decltype(&soxr_delete) destroy;
  decltype(&soxr_io_spec) ioSpec;
  decltype(&soxr_quality_spec) qualitySpec;
};

// The functions, the library opened on the first call; null (with why)
// when it cannot be opened.
const SndfileFunctions* sndfileFunctions(std::string& why);
const SoxrFunctions* soxrFunctions(std::string& why);

}  // namespace pelisto
