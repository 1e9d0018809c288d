@echo off
rem Removes Morvane's registration for the current user. Close Excel first; afterwards the
rem folder can be deleted.
"%SystemRoot%\System32\regsvr32.exe" /u "%~dp0Morvane.dll"
