# The ready program folder under the build folder: card sets, pictures, token files, the LCD
# font and empty working folders, with the executables put there by tw_program().
#
# Included by the project, this file defines the target `program_folder` (part of every build)
# and the functions tw_program(target) and tw_utility(target). Run as a script (cmake -P) it
# lays the folder out; the target runs it at build time, so that files added to data/ later
# (a skin, the site) are picked up without configuring again.

if(CMAKE_SCRIPT_MODE_FILE)
  # cmake -DTW_DATA=<data folder> -DTW_OUT=<program folder> -DTW_FONT=<font file> -P this
  foreach(v TW_DATA TW_OUT)
    if(NOT DEFINED ${v})
      message(FATAL_ERROR "program_folder: ${v} is not set")
    endif()
  endforeach()
  file(MAKE_DIRECTORY "${TW_OUT}")
  foreach(f zqm.set ocg_zqm.set token.ptcg token.cnl)
    if(EXISTS "${TW_DATA}/${f}")
      file(COPY_FILE "${TW_DATA}/${f}" "${TW_OUT}/${f}" ONLY_IF_DIFFERENT)
    endif()
  endforeach()
  foreach(d images Buttons skins/default site)
    if(IS_DIRECTORY "${TW_DATA}/${d}")
      get_filename_component(parent "${TW_OUT}/${d}" DIRECTORY)
      file(MAKE_DIRECTORY "${parent}")
      file(COPY "${TW_DATA}/${d}" DESTINATION "${parent}")
    endif()
  endforeach()
  foreach(d decks Logs Utilities)
    file(MAKE_DIRECTORY "${TW_OUT}/${d}")
  endforeach()
  if(TW_FONT AND EXISTS "${TW_FONT}")
    file(COPY_FILE "${TW_FONT}" "${TW_OUT}/LCD-BOLD.TTF" ONLY_IF_DIFFERENT)
  else()
    message(WARNING "program_folder: no LCD font at '${TW_FONT}' (package fonts-dseg)")
  endif()
  return()
endif()

include_guard(GLOBAL)

set(TW_PROGRAM_FOLDER "${CMAKE_BINARY_DIR}/Tablewright" CACHE INTERNAL "The ready program folder")
set(TW_LCD_FONT "/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf" CACHE FILEPATH
    "The LCD-style font laid out as LCD-BOLD.TTF")

add_custom_target(program_folder ALL
  COMMAND ${CMAKE_COMMAND} -DTW_DATA=${CMAKE_SOURCE_DIR}/data -DTW_OUT=${TW_PROGRAM_FOLDER}
          -DTW_FONT=${TW_LCD_FONT} -P ${CMAKE_CURRENT_LIST_FILE}
  COMMENT "Laying out the program folder ${TW_PROGRAM_FOLDER}"
  VERBATIM)

# The program's executable goes into the program folder (its App.Path).
function(tw_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${TW_PROGRAM_FOLDER}")
  add_dependencies(${target} program_folder)
endfunction()

# A helper program goes into the program folder's Utilities/.
function(tw_utility target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${TW_PROGRAM_FOLDER}/Utilities")
  add_dependencies(${target} program_folder)
endfunction()
