@echo off
rem Registers Morvane for the current user from this folder: no administrator rights needed.
rem Everything goes under HKEY_CURRENT_USER; the registration records this folder, so run it
rem again if the folder moves. Close Excel first.
"%SystemRoot%\System32\regsvr32.exe" "%~dp0Morvane.dll"
