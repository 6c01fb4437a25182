# Writes the manual's pages into OUT: index.html from DOCS/usage.md and
# protocol.html from DOCS/protocol.md (cmark-gfm, with GitHub's tables), each
# with the images it shows copied beside it, and nuvaroctl.html from the man
# page MAN_PAGE (mandoc). Links between the documents lead to their pages,
# and "man nuvaroctl" to nuvaroctl.html. Every page has the same line of
# links to the others at its top.
#
#   cmake -DCMARK=<cmark-gfm> -DMANDOC=<mandoc> -DDOCS=<docs> -DMAN_PAGE=<nuvaroctl.1>
#         -DOUT=<folder> -P make_manual.cmake
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})

set(nav "<nav class=\"manual\"><a href=\"index.html\">使用说明 (usage)</a> · "
        "<a href=\"protocol.html\">protocol</a> · <a href=\"nuvaroctl.html\">nuvaroctl(1)</a></nav>")
string(JOIN "" nav ${nav})
set(style "body { max-width: 52em; margin: 1em auto; padding: 0 1em; font-family: sans-serif; line-height: 1.45; }
nav.manual { border-bottom: 1px solid #ccc; padding-bottom: 0.4em; margin-bottom: 1em; }
code, pre { background: #f4f4f4; }
pre { padding: 0.5em; overflow-x: auto; }
table { border-collapse: collapse; }
th, td { border: 1px solid #ccc; padding: 0.2em 0.5em; vertical-align: top; }
img { max-width: 100%; }")

foreach(pair IN ITEMS "usage|index" "protocol|protocol")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 document)
  list(GET pair 1 page)
  execute_process(COMMAND ${CMARK} -e table -e autolink --to html ${DOCS}/${document}.md
                  OUTPUT_VARIABLE body RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmark-gfm could not convert ${DOCS}/${document}.md")
  endif()
  string(REPLACE "href=\"usage.md" "href=\"index.html" body "${body}")
  string(REPLACE "href=\"protocol.md" "href=\"protocol.html" body "${body}")
  string(REPLACE "<code>man nuvaroctl</code>"
                 "<a href=\"nuvaroctl.html\"><code>man nuvaroctl</code></a>" body "${body}")
  # The images it shows, beside it.
  string(REGEX MATCHALL "<img src=\"[^\":]*\"" images "${body}")
  foreach(image IN LISTS images)
    string(REGEX REPLACE "^<img src=\"([^\"]*)\"$" "\\1" image "${image}")
    if(NOT EXISTS ${DOCS}/${image})
      message(FATAL_ERROR "${document}.md shows ${image}, which docs/ does not hold")
    endif()
    file(COPY ${DOCS}/${image} DESTINATION ${OUT})
  endforeach()
  string(REGEX MATCH "<h1>([^<]*)</h1>" title "${body}")
  set(title "${CMAKE_MATCH_1}")
  file(WRITE ${OUT}/${page}.html "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>${title}</title>
<style>
${style}
</style>
</head>
<body>
${nav}
${body}</body>
</html>
")
endforeach()

execute_process(COMMAND ${MANDOC} -T html ${MAN_PAGE}
                OUTPUT_VARIABLE page RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "mandoc could not convert ${MAN_PAGE}")
endif()
string(REPLACE "<body>" "<body>\n${nav}" page "${page}")
file(WRITE ${OUT}/nuvaroctl.html "${page}")
