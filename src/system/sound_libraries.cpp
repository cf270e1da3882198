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

Opened<SndfileFunctions> openSndfile() {
  Opened<SndfileFunctions> o;
  void* lib = openSharedLibrary("libsndfile.so.1", o.why);
  SndfileFunctions& f = o.functions;
  o.ok = lib && findFunction(lib, "sf_open_virtual", f.openVirtual, o.why) &&
         findFunction(lib, "sf_close", f.close, o.why) && findFunction(lib, "sf_readf_float", f.readfFloat, o.why) &&
         findFunction(lib, "sf_readf_short", f.readfShort, o.why) &&
         findFunction(lib, "sf_command", f.command, o.why) && findFunction(lib, "sf_error", f.error, o.why) &&
         findFunction(lib, "sf_strerror", f.strerror, o.why);
  return o;
}

Opened<SoxrFunctions> openSoxr() {
  Opened<SoxrFunctions> o;
  void* lib = openSharedLibrary("libsoxr.so.0", o.why);
  SoxrFunctions& f = o.functions;
  o.ok = lib && findFunction(lib, "soxr_create", f.create, o.why) &&
         findFunction(lib, "soxr_process", f.process, o.why) && findFunction(lib, "soxr_delete", f.destroy, o.why) &&
         findFunction(lib, "soxr_io_spec", f.ioSpec, o.why) &&
         findFunction(lib, "soxr_quality_spec", f.qualitySpec, o.why);
  return o;
}

}  // namespace

const SndfileFunctions* sndfileFunctions(std::string& why) {
  static const Opened<SndfileFunctions> opened = openSndfile();
  why = opened.why;
  return opened.ok ? &opened.functions : nullptr;
}

const SoxrFunctions* soxrFunctions(std::string& why) {
  static const Opened<SoxrFunctions> opened = openSoxr();
  why = opened.why;
  return opened.ok ? &opened.functions : nullptr;
}

}  // namespace pelisto
