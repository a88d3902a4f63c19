# tests for the platform's ado services
