# cmake -DZVBUNDLE=<native zvbundle> -DBUNDLE=<ZelvoraPelk.scr> -P check_skin_tail.cmake
# Passes when the program ends in a bundle whose first category is "skin",
# starting with "menuskin.jpg", and that holds every skin graphic the
# settings dialog loads.
execute_process(COMMAND ${ZVBUNDLE} list ${BUNDLE}
                RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zvbundle list ${BUNDLE} failed (${result}): ${errors}")
endif()
if(NOT listing MATCHES "^skin\tmenuskin\\.jpg\t")
  message(FATAL_ERROR "the bundle does not start with skin/menuskin.jpg:\n${listing}")
endif()
foreach(name menuskin.jpg toggle_mask_3.bmp VSliderBG_108_18_1.jpg SliderBG_108_18_1.jpg
             slide_knob_7_18_1.jpg slide_knob_13_13_1.jpg slide_knob_18_7_1.jpg filmstrip.jpg)
  string(REPLACE "." "\\." pattern "${name}")
  if(NOT listing MATCHES "(^|\n)skin\t${pattern}\t[0-9]+\t[1-9][0-9]*\n")
    message(FATAL_ERROR "skin/${name} is missing or empty:\n${listing}")
  endif()
endforeach()
message(STATUS "${BUNDLE}: skin tail complete")
