# One firmware update from end to end with velmoractl.exe under Wine on the in-process bus:
# the command succeeds and reports the unit's new firmware.
#   cmake -DWINE=... -DPROGRAM=velmoractl.exe -DFIRMWARE=file.kwf -P firmware_update_run.cmake
execute_process(COMMAND ${WINE} ${PROGRAM} firmware update ${FIRMWARE} --yes
                OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
message(STATUS "${output}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "velmoractl.exe firmware update failed (${result}):\n${errors}")
endif()
foreach(expected IN ITEMS "updating unit 0 from firmware 2.0.4000 to 2.1.4300"
                          "downloaded 1351680 of 1351680 bytes (100%)"
                          "firmware update finished: status 0 (KVOFWDL_STATUS_SUCCESS)")
  string(FIND "${output}" "${expected}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "missing from the output: ${expected}")
  endif()
endforeach()
