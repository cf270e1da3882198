#include "system/sound_libraries.h"

#include "system/shared_library.h"

namespace pelisto {
namespace {

template <typename Functions>
struct Opened {
  Functions functions{};
  std::string why;
  bool ok = false;
};

// The library of that soname with its functions, looked up by find.
template <typename Functions, typename Find>
Opened<Functions> open(const char* soname, Find find) {
  Opened<Functions> o;
  void* lib = openSharedLibrary(soname, o.why);
  o.ok = lib && find(lib, o.functions, o.why);
  return o;
}

bool findSndfile(void* lib, SndfileFunctions& f, std::string& why) {
  return findFunction(lib, "sf_open_virtual", f.openVirtual, why) && findFunction(lib, "sf_close", f.close, why) &&
         findFunction(lib, "sf_readf_float", f.readfFloat, why) &&
         findFunction(lib, "sf_readf_short", f.readfShort, why) && findFunction(lib, "sf_command", f.command, why) &&
         findFunction(lib, "sf_error", f.error, why) && findFunction(lib, "sf_strerror", f.strerror, why) &&
         findFunction(lib, "sf_seek", f.seek, why) && findFunction(lib, "sf_writef_short", f.writefShort, why) &&
         findFunction(lib, "sf_writef_float", f.writefFloat, why) &&
         findFunction(lib, "sf_set_string", f.setString, why) &&
         findFunction(lib, "sf_format_check", f.formatCheck, why) &&
         findFunction(lib, "sf_error_number", f.errorNumber, why);
}

bool findSoxr(void* lib, SoxrFunctions& f, std::string& why) {
  return findFunction(lib, "soxr_create", f.create, why) && findFunction(lib, "soxr_process", f.process, why) &&
         findFunction(lib, "soxr_delete", f.destroy, why) && findFunction(lib, "soxr_io_spec", f.ioSpec, why) &&
         findFunction(lib, "soxr_quality_spec", f.qualitySpec, why);
}

}  // namespace

const SndfileFunctions* sndfileFunctions(std::string& why) {
  static const Opened<SndfileFunctions> opened = open<SndfileFunctions>("libsndfile.so.1", findSndfile);
  why = opened.why;
  return opened.ok ? &opened.functions : nullptr;
}

const SoxrFunctions* soxrFunctions(std::string& why) {
  static const Opened<SoxrFunctions> opened = open<SoxrFunctions>("libsoxr.so.0", findSoxr);
  why = opened.why;
  return opened.ok ? &opened.functions : nullptr;
}

}  // namespace pelisto
