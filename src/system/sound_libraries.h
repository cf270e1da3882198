// libsndfile and libsoxr, opened when the first sound of another format is
// read, written or resampled (system/shared_library.h): the functions the
// decoder, the encoder and the resampler use, typed by the libraries' own
// headers.
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
  decltype(&sf_seek) seek;
  decltype(&sf_writef_short) writefShort;
  decltype(&sf_writef_float) writefFloat;
  decltype(&sf_set_string) setString;
  decltype(&sf_format_check) formatCheck;
  decltype(&sf_error_number) errorNumber;
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
