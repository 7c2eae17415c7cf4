# SPDX-License-Identifier: Apache-2.0
# Fails when a source file addresses a catalogue slot, a bag state or a
# failure code of model() by bare number instead of by its name in
# model/slot_ids.h: display[62] for display[display_id::venous_o2_content],
# dsp(55) for dsp(display_id::total_ventilation), bag_state == 12 for
# bag_state == bag_state_id::rebreathe. Comments count too: a "// display[62]"
# goes stale when an index moves, a name does not.
# Usage: cmake -DSOURCE_DIR=<top of the sources> -P check_slot_indices.cmake
cmake_minimum_required(VERSION 3.20)

# The catalogue tables themselves list the slots in index order.
set(exempt model/catalogue.cpp)

set(w "(^|[^A-Za-z0-9_])")  # start of a word
# Each pattern in a variable of its own: a CMake list cannot hold elements
# with square brackets.
set(p_index "${w}(display|factor|other|derived|s_display|s_factor|s_other|history)\\[[0-9]")
set(p_helper "${w}(dsp|fct|drv|oth|set_dsp|set_fct|set_oth)\\([0-9]")
set(bag "(9|1[0-3])([^0-9]|$)")  # the five bag states, 9 to 13
set(p_bag_state "${w}bag_state (==|!=|=) ${bag}")
set(p_bag_index "bag_index (==|!=|=) ${bag}")
set(p_bag_expect "(bag_state|bag_index), (9|1[0-3])\\)")
set(p_item_expect "failure_item, [1-9]\\)")
set(p_model_expect "model\\(\\), [1-9]\\)")
set(everywhere p_index p_helper p_bag_state p_bag_index p_bag_expect p_item_expect p_model_expect)
# Helpers of constant() (set, f, d) and the stages' failure returns.
set(p_constant_helper "${w}(set|f)\\([0-9]")
set(p_constant_block "${w}d\\[[0-9]")
set(p_failure_return "return [1-9](;|$)")
set(model_only p_constant_helper p_constant_block p_failure_return)

set(hits "")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/model/*.cpp" "${SOURCE_DIR}/model/*.h"
     "${SOURCE_DIR}/host/*.cpp" "${SOURCE_DIR}/host/*.h"
     "${SOURCE_DIR}/session/*.cpp" "${SOURCE_DIR}/session/*.h"
     "${SOURCE_DIR}/tools/*.cpp" "${SOURCE_DIR}/tools/*.h"
     "${SOURCE_DIR}/frontend/*.cpp" "${SOURCE_DIR}/frontend/*.h"
     "${SOURCE_DIR}/tests/*.cpp" "${SOURCE_DIR}/tests/*.h")
foreach(source IN LISTS sources)
  if(source IN_LIST exempt)
    continue()
  endif()
  set(patterns ${everywhere})
  if(source MATCHES "^model/")
    list(APPEND patterns ${model_only})
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" lines)
  foreach(line IN LISTS lines)
    foreach(pattern IN LISTS patterns)
      if(line MATCHES "${${pattern}}")
        string(STRIP "${line}" line)
        string(APPEND hits "  ${source}: ${line}\n")
        break()
      endif()
    endforeach()
  endforeach()
endforeach()

if(hits)
  message(FATAL_ERROR "bare slot numbers; use the names of model/slot_ids.h:\n${hits}")
endif()
