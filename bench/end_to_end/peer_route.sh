#!/bin/sh
# The route a user would script without KORVA Fax: Ghostscript renders the
# PDF straight to Group 3 fax pages, and curl submits them as one e-mail.
#   peer_route.sh PDF PORT USER PASSWORD FROM TO WORKFOLDER
set -eu
pdf=$1 port=$2 user=$3 password=$4 from=$5 to=$6 work=$7
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=tiffg3 -r200x192 -sOutputFile="$work/fax.tif" "$pdf"
{
    printf 'From: <%s>\r\nTo: <%s>\r\nSubject: Fax\r\nMIME-Version: 1.0\r\n' "$from" "$to"
    printf 'Content-Type: multipart/mixed; boundary="part"\r\n\r\n'
    printf -- '--part\r\nContent-Type: text/plain\r\n\r\n~0301 555~Anna Berg~\r\n\r\n'
    printf -- '--part\r\nContent-Type: image/tiff; name="fax.tif"\r\nContent-Transfer-Encoding: base64\r\n\r\n'
    base64 -w 76 "$work/fax.tif" | sed 's/$/\r/'
    printf -- '--part--\r\n'
} >"$work/fax.eml"
curl -sS --url "smtp://127.0.0.1:$port" --user "$user:$password" --mail-from "$from" --mail-rcpt "$to" \
    --upload-file "$work/fax.eml"
