# SPDX-License-Identifier: Apache-2.0
# The Python module as python3-tolvane installs it, from the packages that
# build_debs.cmake unpacked into WORK_DIR/root: the system Python imports it
# from dist-packages, and it loads libtolvane.so.1 by its SONAME through the
# dynamic loader (pointed at the unpacked multiarch folder, as ldconfig
# points it at /usr/lib/<multiarch> on an installed system), not from a
# build tree, and runs a minute.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH OUTPUT_VARIABLE multiarch
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(root ${WORK_DIR}/root)
set(script [=[
import os, sys
root = sys.argv[1]
import tolvane
assert tolvane.__file__.startswith(root + "/usr/lib/python3/dist-packages/tolvane/"), tolvane.__file__
with tolvane.Session() as session:
    run = session.run(minutes=1)
assert run["arterial_po2"].shape == (61,) and 80 < run["arterial_po2"][-1] < 110
loaded = [line.split()[-1] for line in open("/proc/self/maps") if "/libtolvane" in line]
assert loaded and all(path.startswith(root + "/usr/lib/") for path in loaded), loaded
print("python3-tolvane:", tolvane.__file__, "with", loaded[0])
]=])
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=TOLVANE_LIBRARY PYTHONPATH=${root}/usr/lib/python3/dist-packages
          LD_LIBRARY_PATH=${root}/usr/lib/${multiarch} PYTHONDONTWRITEBYTECODE=1
          /usr/bin/python3 -c "${script}" ${root}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the installed Python module failed (${status}):\n${output}")
endif()
message(STATUS "${output}")
