# Makes the Windows icon (.ico) from the scalable icon at build time:
# rsvg-convert (librsvg2-bin) draws each size, icotool (icoutils) packs them.
#   cmake -DSVG=... -DICO=... -DWORK=... -P make_icon.cmake
file(MAKE_DIRECTORY ${WORK})
set(pngs)
foreach(size 16 24 32 48 64 256)
  set(png ${WORK}/icon-${size}.png)
  execute_process(COMMAND rsvg-convert -w ${size} -h ${size} -o ${png} ${SVG} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "rsvg-convert could not draw ${SVG} at ${size} px")
  endif()
  list(APPEND pngs ${png})
endforeach()
# The 256-pixel image stays PNG inside the .ico, as Windows expects.
list(POP_BACK pngs big)
execute_process(COMMAND icotool -c -o ${ICO} ${pngs} -r ${big} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "icotool could not pack ${ICO}")
endif()
